#include "platform/UserDialogs.h"

#include <cstdio>

namespace {
ConsoleDialogs g_console;
UserDialogs* g_current = nullptr;
} // namespace

UserDialogs::~UserDialogs() = default;

UserDialogs& UserDialogs::current()
{
    return g_current ? *g_current : g_console;
}

void UserDialogs::install(UserDialogs* dialogs)
{
    g_current = dialogs;
}

int ShowMess(const QString& text, int kind)
{
    return UserDialogs::current().showMess(text, kind);
}

void ConsoleDialogs::showFailure(const QString& text, const QString& details)
{
    showMess(text, mkError);
    if (!details.isEmpty())
        std::fprintf(stderr, "  %s\n", details.toLocal8Bit().constData());
}

int ConsoleDialogs::showMess(const QString& text, int kind)
{
    static const char* const prefixes[] = {"提示", "询问", "警告", "错误", "询问"};
    const char* prefix = (kind >= 0 && kind <= 4) ? prefixes[kind] : "提示";
    std::fprintf(stderr, "%s: %s\n", prefix, text.toLocal8Bit().constData());
    return kind == mkQuestion ? 2 : kind == mkQuestionCancel ? 3 : 1;
}
