#pragma once
// Names and tags as the windows show them. A control character (a line
// break or a tab in a file name, which Linux allows) would cut the text
// short or break a row; it is shown as its visible picture instead ("bad␊
// name.mp3"). Only what is shown changes: paths keep their bytes.
#include <QString>

#include <string>

QString VisibleText(const std::string& text);
