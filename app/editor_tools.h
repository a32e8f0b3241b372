#pragma once

class QHBoxLayout;
class TForm2;

/// Adds to the settings editor's row of the problem count, row: the cursor's
/// line and column left of the count, and right of it the "Preview" link
/// that opens the layout preview, which Ctrl+P opens too.
void addEditorTools(TForm2& editor, QHBoxLayout& row);
