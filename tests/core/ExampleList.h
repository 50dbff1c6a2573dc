#pragma once

#include <string>

// A two-job list file exactly as export writes it: CR LF line ends, two-space
// indents, an empty path as an empty element, and a byte above 0x7F as a
// character reference.
inline const std::string ExampleListBytes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<list>\r\n"
    "  <item>\r\n"
    "    <filename>C:\\Video\\a.avi</filename>\r\n"
    "    <format>0</format>\r\n"
    "    <path>D:\\Out\\</path>\r\n"
    "  </item>\r\n"
    "  <item>\r\n"
    "    <filename>C:\\Video\\Caf&#xE9;.mpg</filename>\r\n"
    "    <format>3</format>\r\n"
    "    <path/>\r\n"
    "  </item>\r\n"
    "</list>\r\n";
