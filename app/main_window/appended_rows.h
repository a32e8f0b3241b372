#pragma once

class QTableView;

/// Rows that a command appends below rows already shown would arrive out of
/// sight: once the command has ended, the first of them is scrolled into
/// view. A grid that was empty shows its first row anyway.
void scrollToAppendedRows(QTableView& grid);
