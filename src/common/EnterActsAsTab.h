#pragma once

class QKeyEvent;
class QWidget;

// Enter outside a multi-line box moves the window's focus to the next field.
// True when the key was taken.
bool EnterActsAsTab(QWidget* window, QKeyEvent* event);
