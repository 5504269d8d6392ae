#include "document/Document.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace {

template <typename... Ts> struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

bool rangeFits(std::size_t at, std::size_t count, std::size_t size)
{
    return at <= size && count <= size - at;
}

} // namespace

Document::Document()
{
    series_.push_back({defaultLook("Series 1", 0), {}});
}

bool Document::accepts(const Change& c) const
{
    const auto hasSeries = [&](std::size_t s) { return s < series_.size(); };
    return std::visit(
        Overloaded{
            [&](const change::InsertPoints& x) {
                return hasSeries(x.series) && x.at <= series_[x.series].points.size();
            },
            [&](const change::ErasePoints& x) {
                return hasSeries(x.series) && rangeFits(x.at, x.count, series_[x.series].points.size());
            },
            [&](const change::MovePoint& x) {
                return hasSeries(x.series) && x.index < series_[x.series].points.size();
            },
            [&](const change::InsertCalibration& x) { return x.at <= calibration_.size(); },
            [&](const change::EraseCalibration& x) { return x.at < calibration_.size(); },
            [&](const change::SetCalibration& x) { return x.index < calibration_.size(); },
            [&](const change::InsertSeries& x) { return x.at <= series_.size() && x.activeAfter <= series_.size(); },
            [&](const change::EraseSeries& x) {
                return series_.size() > 1 && x.at < series_.size() && x.activeAfter < series_.size() - 1;
            },
            [&](const change::SetLook& x) { return hasSeries(x.series); },
            [&](const change::SetAxes&) { return true; },
            [&](const change::SetActiveSeries& x) { return hasSeries(x.series); },
            [&](const change::SetMeasurements& x) { return x.measurements != nullptr; },
        },
        c);
}

Change Document::apply(Change c)
{
    if (!accepts(c))
        throw std::out_of_range("change does not fit the document");
    const Touched touched = touchedBy(c);
    const auto at = [](std::size_t i) { return static_cast<std::ptrdiff_t>(i); };
    Change inverse =
        std::visit(Overloaded{
                       [&](change::InsertPoints& x) -> Change {
                           auto& points = series_[x.series].points;
                           const std::size_t count = x.points.size();
                           if (points.empty())
                               points.swap(x.points);
                           else
                               points.insert(points.begin() + at(x.at), std::make_move_iterator(x.points.begin()),
                                             std::make_move_iterator(x.points.end()));
                           return change::ErasePoints{x.series, x.at, count};
                       },
                       [&](change::ErasePoints& x) -> Change {
                           auto& points = series_[x.series].points;
                           change::InsertPoints back{x.series, x.at, {}};
                           if (x.at == 0 && x.count == points.size()) {
                               back.points.swap(points);
                           } else {
                               const auto first = points.begin() + at(x.at);
                               back.points.assign(first, first + at(x.count));
                               points.erase(first, first + at(x.count));
                           }
                           return back;
                       },
                       [&](change::MovePoint& x) -> Change {
                           DPoint& point = series_[x.series].points[x.index];
                           return change::MovePoint{x.series, x.index, std::exchange(point, x.to)};
                       },
                       [&](change::InsertCalibration& x) -> Change {
                           calibration_.insert(calibration_.begin() + at(x.at), x.point);
                           return change::EraseCalibration{x.at};
                       },
                       [&](change::EraseCalibration& x) -> Change {
                           change::InsertCalibration back{x.at, calibration_[x.at]};
                           calibration_.erase(calibration_.begin() + at(x.at));
                           return back;
                       },
                       [&](change::SetCalibration& x) -> Change {
                           return change::SetCalibration{x.index, std::exchange(calibration_[x.index], x.point)};
                       },
                       [&](change::InsertSeries& x) -> Change {
                           const std::size_t before = active_;
                           series_.insert(series_.begin() + at(x.at), x.series);
                           active_ = x.activeAfter;
                           return change::EraseSeries{x.at, before};
                       },
                       [&](change::EraseSeries& x) -> Change {
                           change::InsertSeries back{x.at, std::move(series_[x.at]), active_};
                           series_.erase(series_.begin() + at(x.at));
                           active_ = x.activeAfter;
                           return back;
                       },
                       [&](change::SetLook& x) -> Change {
                           return change::SetLook{x.series, std::exchange(series_[x.series].look, x.look)};
                       },
                       [&](change::SetAxes& x) -> Change { return change::SetAxes{std::exchange(axes_, x.axes)}; },
                       [&](change::SetActiveSeries& x) -> Change {
                           return change::SetActiveSeries{std::exchange(active_, x.series)};
                       },
                       [&](change::SetMeasurements& x) -> Change {
                           return change::SetMeasurements{std::exchange(measurements_, *x.measurements)};
                       },
                   },
                   c);
    if (observer_ != nullptr)
        observer_->documentChanged(*this, touched);
    return inverse;
}

Touched Document::touchedBy(const Change& c) const
{
    using Part = Touched::Part;
    using How = Touched::How;
    return std::visit(Overloaded{
                          [](const change::InsertPoints& x) {
                              return Touched{Part::points, How::inserted, x.series, x.at, x.points.size()};
                          },
                          [](const change::ErasePoints& x) {
                              return Touched{Part::points, How::erased, x.series, x.at, x.count};
                          },
                          [](const change::MovePoint& x) {
                              return Touched{Part::points, How::modified, x.series, x.index, 1};
                          },
                          [](const change::InsertCalibration& x) {
                              return Touched{Part::calibration, How::inserted, 0, x.at, 1};
                          },
                          [](const change::EraseCalibration& x) {
                              return Touched{Part::calibration, How::erased, 0, x.at, 1};
                          },
                          [](const change::SetCalibration& x) {
                              return Touched{Part::calibration, How::modified, 0, x.index, 1};
                          },
                          [](const change::InsertSeries& x) {
                              return Touched{Part::seriesList, How::inserted, x.at, x.at, 1};
                          },
                          [](const change::EraseSeries& x) {
                              return Touched{Part::seriesList, How::erased, x.at, x.at, 1};
                          },
                          [](const change::SetLook& x) {
                              return Touched{Part::look, How::modified, x.series, x.series, 1};
                          },
                          [](const change::SetAxes&) {
                              return Touched{Part::axes, How::modified};
                          },
                          [](const change::SetActiveSeries& x) {
                              return Touched{Part::activeSeries, How::modified, x.series};
                          },
                          [](const change::SetMeasurements&) { return Touched{Part::measurements, How::modified}; },
                      },
                      c);
}

void Document::replaceWith(Document other)
{
    DocumentObserver* observer = observer_;
    *this = std::move(other);
    observer_ = observer;
    if (observer_ != nullptr)
        observer_->documentReplaced(*this);
}

std::string Document::unusedSeriesName() const
{
    for (std::size_t n = series_.size() + 1;; ++n) {
        std::string name = "Series " + std::to_string(n);
        if (std::none_of(series_.begin(), series_.end(), [&](const Series& s) { return s.look.name == name; }))
            return name;
    }
}
