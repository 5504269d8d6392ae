#include "desktop/window/PlotmeterStyle.h"

#include "desktop/tables/PointTableView.h"

#include <QGuiApplication>
#include <QStyleOption>

int PlotmeterStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* returnData) const
{
    if (hint == SH_Table_GridLineColor)
        if (const auto* table = qobject_cast<const PointTableView*>(widget))
            return static_cast<int>(table->gridColor().rgba());
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

// Every dock panel asks for its close and float icons whenever its title bar is measured;
// the base style draws them anew each time. They depend on the palette alone.
QIcon PlotmeterStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                   const QWidget* widget) const
{
    const bool titleBar = (standardIcon >= SP_TitleBarMinButton && standardIcon <= SP_TitleBarContextHelpButton) ||
                          standardIcon == SP_DockWidgetCloseButton;
    if (!titleBar)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    const QPalette& palette = option != nullptr ? option->palette
                              : widget != nullptr ? widget->palette()
                                                  : QGuiApplication::palette();
    const std::pair<qint64, int> key(palette.cacheKey(), static_cast<int>(standardIcon));
    auto found = titleBarIcons_.constFind(key);
    if (found == titleBarIcons_.constEnd())
        found = titleBarIcons_.insert(key, QProxyStyle::standardIcon(standardIcon, option, widget));
    return *found;
}

void PlotmeterStyle::polish(QApplication* application)
{
    titleBarIcons_.clear();
    QProxyStyle::polish(application);
}

void PlotmeterStyle::unpolish(QApplication* application)
{
    titleBarIcons_.clear();
    QProxyStyle::unpolish(application);
}
