#pragma once

#include <functional>

class QDialog;
class QHBoxLayout;

// The "确定" / "取消" pair at the bottom right of a small dialog (objectNames
// btnOK and btnCancel). "确定" runs `onOk` (by default it accepts), "取消"
// rejects.
QHBoxLayout* okCancelButtons(QDialog* dialog, std::function<void()> onOk = {});
