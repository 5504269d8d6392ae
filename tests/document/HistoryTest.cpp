#include "document/History.h"
#include "document/Document.h"

#include <gtest/gtest.h>

namespace {

// A document with something of every kind in it: two series, one with points, and a
// calibration with one value still to type.
Document sample()
{
    Document d;
    d.apply(change::InsertPoints{0, 0, {{1, 2}, {3, 4}, {5, 6}}});
    d.apply(change::InsertSeries{1, {defaultLook("Fit", 1), {{7, 8}}}, 1});
    d.apply(change::InsertCalibration{0, {{10, 10}, 0.0, 0.0}});
    d.apply(change::InsertCalibration{1, {{90, 10}, 100.0, std::nullopt}});
    return d;
}

struct Edit {
    const char* name;
    std::vector<Change> changes;
    friend std::ostream& operator<<(std::ostream& out, const Edit& e) { return out << e.name; }
};

class EveryKindOfChange : public testing::TestWithParam<Edit> {};

// Undo gives back exactly the document before the step, redo exactly the one after,
// however often the user goes back and forth.
TEST_P(EveryKindOfChange, UndoAndRedoRestoreTheDocumentExactly)
{
    Document document = sample();
    const Document before = document;
    History history;
    history.perform(document, GetParam().name, GetParam().changes);
    const Document after = document;
    ASSERT_FALSE(after == before) << "the step changed nothing";
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(history.undo(document));
        EXPECT_EQ(document, before);
        EXPECT_EQ(history.redoName(), GetParam().name);
        ASSERT_TRUE(history.redo(document));
        EXPECT_EQ(document, after);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EveryKindOfChange,
    testing::Values(
        Edit{"Add Point", {change::InsertPoints{0, 3, {{9, 9}}}}},
        Edit{"Insert Points", {change::InsertPoints{0, 1, {{9, 9}, {8, 8}}}}},
        Edit{"Delete Point", {change::ErasePoints{0, 1, 1}}}, Edit{"Clear Data", {change::ErasePoints{0, 0, 3}}},
        Edit{"Move Point", {change::MovePoint{0, 2, {5.25, 6.5}}}},
        Edit{"Add Calibration Point", {change::InsertCalibration{2, {{10, 90}, {}, {}}}}},
        Edit{"Edit Calibration Value", {change::SetCalibration{1, {{90, 10}, 100.0, 0.0}}}},
        Edit{"Clear Calibration", {change::EraseCalibration{1}, change::EraseCalibration{0}}},
        Edit{"Add Series", {change::InsertSeries{2, {defaultLook("Series 3", 2), {}}, 2}}},
        Edit{"Delete Series", {change::EraseSeries{0, 0}}},
        Edit{"Rename Series", {change::SetLook{0, {"Upper branch", {0, 0, 0}, MarkerShape::diamond, false}}}},
        Edit{"Add Points Here And There",
             {change::InsertPoints{1, 0, {{1, 1}}}, change::MovePoint{1, 1, {2, 2}}, change::SetActiveSeries{0}}}),
    [](const testing::TestParamInfo<Edit>& p) {
        std::string name = p.param.name;
        std::erase(name, ' ');
        return name;
    });

TEST(History, NewStepDropsWhatCouldBeRedoneAndTracksTheSavedState)
{
    Document document;
    History history;
    EXPECT_TRUE(history.isClean());
    history.perform(document, "Add Point", change::InsertPoints{0, 0, {{1, 1}}});
    history.markClean();
    history.perform(document, "Add Point", change::InsertPoints{0, 1, {{2, 2}}});
    EXPECT_FALSE(history.isClean());
    history.undo(document);
    EXPECT_TRUE(history.isClean()) << "back where the file was saved";
    history.undo(document);
    history.perform(document, "Add Series", change::InsertSeries{1, {defaultLook("B", 1), {}}, 1});
    EXPECT_FALSE(history.canRedo());
    EXPECT_FALSE(history.isClean());
    history.undo(document);
    history.redo(document);
    history.undo(document);
    EXPECT_FALSE(history.isClean()) << "the saved state can never come back";
    EXPECT_EQ(history.undoName(), "");
    EXPECT_FALSE(history.undo(document));
}

TEST(Document, RefusesChangesThatDoNotFitIt)
{
    Document document = sample();
    const Document before = document;
    const Change misfits[] = {change::InsertPoints{2, 0, {}}, change::ErasePoints{0, 2, 2},
                              change::MovePoint{1, 1, {}},    change::EraseCalibration{2},
                              change::SetCalibration{5, {}},  change::InsertSeries{3, {}, 0},
                              change::EraseSeries{0, 1},      change::SetActiveSeries{2}};
    for (const Change& c : misfits) {
        EXPECT_FALSE(document.accepts(c)) << c.index();
        EXPECT_THROW(document.apply(c), std::out_of_range);
    }
    Document single;
    EXPECT_FALSE(single.accepts(change::EraseSeries{0, 0})) << "the last series stays";
    EXPECT_EQ(document, before);
}

TEST(Document, NewSeriesGetNamesAndLooksOfTheirOwn)
{
    Document document;
    EXPECT_EQ(document.active().look.name, "Series 1");
    EXPECT_EQ(document.active().look.colour.name(), "#1f77b4");
    document.apply(change::InsertSeries{1, {defaultLook(document.unusedSeriesName(), 1), {}}, 1});
    EXPECT_EQ(document.unusedSeriesName(), "Series 3");
    EXPECT_NE(document.series()[1].look.colour, document.series()[0].look.colour);
    EXPECT_NE(document.series()[1].look.marker, document.series()[0].look.marker);
    EXPECT_EQ(Colour::named("#1F77B4"), document.series()[0].look.colour);
    EXPECT_EQ(Colour::named("#1f77b"), std::nullopt);
    EXPECT_EQ(Colour::named("#1f77bg"), std::nullopt);
}

} // namespace
