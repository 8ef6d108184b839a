#pragma once

class QWidget;

// Placement of a window about to be shown modally:
//   mode 1: an edit window opened from a list (keeps its own size);
//   mode 2: a list, statistic or chart screen (large: most of its owner).
// The window is centred on its owner window (the screen when it has none)
// and takes the size it had when last closed, kept per window class for the
// user.
enum FormPosMode
{
    fpEdit = 1,
    fpList = 2
};

void DispFormPos(QWidget* window, int mode);
