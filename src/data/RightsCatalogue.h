#pragma once

#include <QString>

#include <span>

// The numbered commands of the main window. Each code is also the right that
// shows or hides its command; the first digit is the main-menu group
// (1 文件, 2 编辑, 3 输出, 4 统计, 5 数据).
struct RightDef
{
    int code;
    const char* caption; // the command's caption, also the right's stored name
};

std::span<const RightDef> rightsCatalogue();

// The caption of a code; empty when the code is unknown.
QString rightCaption(int code);
