#include "desktop/window/FontWarmUp.h"

#include <QApplication>
#include <QFontDatabase>
#include <fontconfig/fontconfig.h>
#include <memory>

namespace {

template <typename T, void (*destroy)(T*)> struct FcDeleter {
    void operator()(T* object) const { destroy(object); }
};
using Pattern = std::unique_ptr<FcPattern, FcDeleter<FcPattern, FcPatternDestroy>>;
using FontSet = std::unique_ptr<FcFontSet, FcDeleter<FcFontSet, FcFontSetDestroy>>;
using ObjectSet = std::unique_ptr<FcObjectSet, FcDeleter<FcObjectSet, FcObjectSetDestroy>>;

bool installed(const QByteArray& family)
{
    const Pattern pattern(FcPatternCreate());
    const ObjectSet wanted(FcObjectSetBuild(FC_FAMILY, nullptr));
    if (!pattern || !wanted)
        return true; // nothing known: leave the name to Qt
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.constData()));
    const FontSet fonts(FcFontList(nullptr, pattern.get(), wanted.get()));
    return !fonts || fonts->nfont > 0;
}

} // namespace

FontWarmUp::FontWarmUp()
    : thread_([this] {
          FcInit(); // the configuration, which Qt's own call then finds loaded
          // While the application connects: the name Qt's theme for desktops without
          // one of their own gives the application font.
          const QString usual = QStringLiteral("Sans Serif");
          const QString usualStandIn = standInFor(usual);
          const std::optional<QString> family = familyAsked_.get_future().get();
          if (!family)
              return;
          standIn_.set_value(*family == usual ? usualStandIn : standInFor(*family));
          (void)QFontDatabase::families(); // Qt lists the fonts once the application exists
      })
{}

void FontWarmUp::applicationMade()
{
    told_ = true;
    standInAnswer_ = standIn_.get_future();
    const QStringList families = QApplication::font().families();
    familyAsked_.set_value(families.size() == 1 ? families.constFirst() : QString());
}

void FontWarmUp::useStandIn()
{
    if (!standInAnswer_.valid())
        return;
    const QString standIn = standInAnswer_.get();
    if (standIn.isEmpty())
        return;
    QFont font = QApplication::font();
    font.setFamilies({standIn});
    QApplication::setFont(font);
}

void FontWarmUp::finish()
{
    if (!told_) {
        told_ = true;
        familyAsked_.set_value(std::nullopt);
    }
    if (thread_.joinable())
        thread_.join();
}

// Asked the way Qt asks fontconfig for the fonts to fall back on (the family, upright,
// in the user's language, with fontconfig's substitutions), skipping the name itself.
QString FontWarmUp::standInFor(const QString& family)
{
    const QByteArray name = family.toUtf8();
    if (name.isEmpty() || installed(name))
        return {};
    const Pattern pattern(FcPatternCreate());
    if (!pattern)
        return {};
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    {
        const Pattern defaults(FcPatternCreate());
        FcChar8* language = nullptr;
        if (defaults) {
            FcDefaultSubstitute(defaults.get());
            if (FcPatternGetString(defaults.get(), FC_LANG, 0, &language) == FcResultMatch)
                FcPatternAddString(pattern.get(), FC_LANG, language);
        }
    }
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultMatch;
    const FontSet sorted(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
    if (!sorted)
        return {};
    const QString asked = family.toCaseFolded();
    for (int i = 0; i < sorted->nfont; ++i) {
        FcChar8* found = nullptr;
        if (FcPatternGetString(sorted->fonts[i], FC_FAMILY, 0, &found) != FcResultMatch)
            continue;
        const QString standIn = QString::fromUtf8(reinterpret_cast<const char*>(found));
        if (standIn.toCaseFolded() != asked)
            return standIn;
    }
    return {};
}
