#include "document/CsvFile.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <sstream>

namespace {

Document namedSeries(const std::vector<std::string>& names)
{
    Document d;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            d.apply(change::InsertSeries{i, {defaultLook(names[i], i), {}}, 0});
        d.apply(change::SetLook{i, defaultLook(names[i], i)});
        d.apply(change::InsertPoints{i, 0, {{static_cast<double>(i), 0.5}}});
    }
    return d;
}

TEST(CsvFile, NamesAreQuotedOnlyWhenTheyMustBe)
{
    const std::pair<std::string, std::string> cases[] = {
        {"plain name", "plain name"},     {"a,b", "\"a,b\""},   {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\""}, {"cr\r", "\"cr\r\""}, {"Größe ✓", "Größe ✓"},
    };
    for (const auto& [name, field] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(csvText(namedSeries({name}), WorldMap{}),
                  "series,x,y,screen_x,screen_y\r\n" + field + ",0,0.5,0,0.5\r\n");
    }
}

TEST(CsvFile, WritesEverySeriesInOrderOrOnlyTheOneGiven)
{
    const Document d = namedSeries({"A", "B", "C"});
    const std::string header = "series,x,y,screen_x,screen_y\r\n";
    EXPECT_EQ(csvText(d, WorldMap{}), header + "A,0,0.5,0,0.5\r\nB,1,0.5,1,0.5\r\nC,2,0.5,2,0.5\r\n");
    EXPECT_EQ(csvText(d, WorldMap{}, 1), header + "B,1,0.5,1,0.5\r\n");
    EXPECT_EQ(csvText(d, WorldMap{}, 3), header);
}

// Splits "series,x,y,screen_x,screen_y" rows of unquoted names into their fields.
std::vector<std::vector<std::string>> rows(const std::string& text)
{
    std::vector<std::vector<std::string>> result;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << line;
        line.pop_back();
        std::vector<std::string>& fields = result.emplace_back();
        std::istringstream split(line);
        for (std::string field; std::getline(split, field, ',');)
            fields.push_back(field);
    }
    return result;
}

TEST(CsvFile, NumbersAreShortestAndReadBackExactly)
{
    const double values[] = {0.1, 1420400000.5, 1e-300, 5e-324, -0.0, 1.7976931348623157e308, 1.0 / 3.0, -2.5e22};
    Document d;
    for (const double v : values)
        d.apply(change::InsertPoints{0, d.series()[0].points.size(), {{v, -v}}});
    WorldMap doubling;
    doubling.a00 = doubling.a11 = 2;
    const bool decimalComma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr; // as the window runs
    const auto table = rows(csvText(d, doubling));
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(decimalComma) << "scripts/install-deps makes the de_DE.UTF-8 locale";
    ASSERT_EQ(table.size(), std::size(values) + 1);
    for (std::size_t i = 0; i < std::size(values); ++i) {
        SCOPED_TRACE(values[i]);
        const std::vector<std::string>& fields = table[i + 1];
        ASSERT_EQ(fields.size(), 5u);
        const DPoint world = doubling.world({values[i], -values[i]});
        const double expected[] = {world.x, world.y, values[i], -values[i]};
        for (std::size_t f = 0; f < 4; ++f) {
            const std::string& text = fields[f + 1];
            double read = 0;
            const auto [end, failed] = std::from_chars(text.data(), text.data() + text.size(), read);
            ASSERT_TRUE(failed == std::errc{} && end == text.data() + text.size()) << text;
            EXPECT_EQ(std::memcmp(&read, &expected[f], sizeof read), 0) << text;
        }
    }
    EXPECT_EQ(table[1][3], "0.1");
    EXPECT_EQ(table[5][3], "-0");
}

} // namespace
