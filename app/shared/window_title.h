#pragma once

class QWidget;

/// Shows the window's title as it is on the window system, also when it is
/// empty: on X11, Qt puts the application's name in place of an empty title.
void showExactWindowTitle(QWidget& window);
