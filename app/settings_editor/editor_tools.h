#pragma once

#include <functional>

class QHBoxLayout;
class QPlainTextEdit;
class QWidget;

/// Adds to the settings editor's row of the problem count, row: the cursor's
/// line and column of memo left of the count, and right of it the "Preview"
/// link that calls openPreview, which Ctrl+P in window calls too.
void addEditorTools(QPlainTextEdit& memo, QWidget& window, QHBoxLayout& row, QWidget& count,
                    const std::function<void()>& openPreview);
