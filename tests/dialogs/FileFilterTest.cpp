#include "dialogs/FileFilter.h"

#include <gtest/gtest.h>

using clipforge::toQtFilter;

TEST(FileFilter, TurnsBarSeparatedFiltersIntoQtForm)
{
    struct Case {
        const char* program;
        const char* qt;
    };
    const Case cases[] = {
        {"All Supported Formats|*.mpg;*.mpeg;*.avi|All Files|*.*",
         "All Supported Formats (*.mpg *.MPG *.mpeg *.MPEG *.avi *.AVI);;All Files (*.*)"},
        {"Norvane File List File (*.kxl)|*.kxl", "Norvane File List File (*.kxl *.KXL)"},
        {"Text|*.TXT", "Text (*.TXT)"},
        {"Odd ; spacing| *.a ; *.b ;", "Odd ; spacing (*.a *.A *.b *.B)"},
        {"", ""},
        {"Dangling description", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toQtFilter(QString::fromUtf8(c.program)), QString::fromUtf8(c.qt)) << c.program;
}
