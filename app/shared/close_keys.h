#pragma once

class QWidget;

/// Esc and Ctrl+W close window, as they close the other windows that stand
/// beside the main one.
void closeOnEscapeAndCtrlW(QWidget& window);
