#include "spreadsheet/workbooksheet.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace calvero {
namespace {

TEST(WorkbookSheet, CellNamesReadInEitherCaseWithinTheSheet)
{
    EXPECT_EQ(parseCellName("A1"), (CellAddress{1, 1}));
    EXPECT_EQ(parseCellName("d3"), (CellAddress{3, 4}));
    EXPECT_EQ(parseCellName("AA10"), (CellAddress{10, 27}));
    EXPECT_EQ(parseCellName("IV65536"), (CellAddress{65536, 256}));
    for (const char* bad : {"", "A", "1", "A0", "1A", "IW1", "A65537", "A1B", "$A$1", "A-1"})
        EXPECT_FALSE(parseCellName(bad).has_value()) << bad;
    for (const char* name : {"A1", "Z9", "AA10", "AZ3", "BA7", "IV65536"})
        EXPECT_EQ(cellName(*parseCellName(name)), name);
}

TEST(WorkbookSheet, TypedTextsBecomeNumbersFormulasOrTexts)
{
    Worksheet sheet;
    sheet.enter("A1", "    1.50000000000");
    sheet.enter("A2", "  -20.000");
    sheet.enter("A3", "0");
    sheet.enter("A4", "1.5 ");
    sheet.enter("A5", "=$A$3*d3^$B$3");
    sheet.enter("A6", "Oggi:07/12/2026 22:50:00");
    sheet.enter("A7", "1,5");
    sheet.enter("A8", "errore %");
    EXPECT_EQ(*sheet.cell("A1"), CellValue(1.5));
    EXPECT_EQ(*sheet.cell("A2"), CellValue(-20.0));
    EXPECT_EQ(*sheet.cell("A3"), CellValue(0.0));
    EXPECT_EQ(*sheet.cell("A4"), CellValue(1.5));
    EXPECT_EQ(*sheet.cell("A5"), CellValue(FormulaText{"=$A$3*d3^$B$3"}));
    EXPECT_EQ(*sheet.cell("A6"), CellValue(std::string("Oggi:07/12/2026 22:50:00")));
    EXPECT_EQ(*sheet.cell("A7"), CellValue(std::string("1,5")));
    EXPECT_EQ(*sheet.cell("A8"), CellValue(std::string("errore %")));

    sheet.enter("A1", "");
    EXPECT_EQ(sheet.cell("A1"), nullptr);
    EXPECT_EQ(sheet.cells().size(), 7u);
}

TEST(WorkbookSheet, AddressesOutsideTheSheetAreRefused)
{
    Worksheet sheet;
    EXPECT_THROW(sheet.setNumber({0, 1}, 1.0), std::out_of_range);
    EXPECT_THROW(sheet.setText({1, 257}, "x"), std::out_of_range);
    EXPECT_THROW(sheet.enter("A0", "1"), std::out_of_range);
    EXPECT_THROW(sheet.setColumnWidth(1, -1.0), std::out_of_range);
    EXPECT_TRUE(sheet.cells().empty());
    sheet.setColumnWidth(1, 16.0);
    EXPECT_EQ(sheet.columnWidth(1), 16.0);
    EXPECT_FALSE(sheet.columnWidth(2).has_value());
}

} // namespace
} // namespace calvero
