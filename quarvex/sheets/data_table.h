// Reading the active sheet into the data table and sample arrays, and
// writing them back or into a new sheet.
#pragma once

#include "quarvex/state/data_table.h"

#include <QString>
#include <vector>

namespace quarvex {

class Main1;

// The frame's active child window when it is a data sheet, else null (no
// window, or a graph window).
Main1* ActiveDataSheet();
// The same, raising a clear error when there is none, so that a command's
// own handler reports it under its title.
Main1& RequireActiveSheet();

// ColumnHeadings(column), empty beyond its bound.
QString HeadingAt(int column);

// Marks a sheet's record modified (through its Tag).
void MarkModified(Main1& sheet);

// A box with the exclamation icon and OK, as every sheet command reports
// its failures; returns the answer.
int ReportError(const QString& text, const QString& title);

}  // namespace quarvex

namespace MODULE21 {

// Active sheet into ColumnHeadings, HeadingCount, DataTable, the sample
// arrays, SampleCount and TableRows: every column with text up to the 50th,
// and the rows whose components are not all empty, 0 or text, down to the
// sheet's last. A failure is reported under "Error Reading Data" and leaves
// SampleCount 0.
void ReadActiveGrid();
// The same read for a command that copies the sheet into a new one (Sort,
// Convert to Coord): the table also holds every column right of the usual
// ones that holds text in row 1 or a row read, and HeadingCount and
// ColumnHeadings reach the last such column. Its samples are all rows that
// hold text, down to the sheet's last, those whose components are empty, 0
// or text included; wholly empty rows are left out. sourceRows, when given,
// receives the grid row of each sample.
void ReadActiveGridForCopy(std::vector<int>* sourceRows = nullptr);
// The read for the commands on analyses (the norms): every row that holds
// text and a value other than 0 in one of the columns given, in sheet order.
void ReadActiveGridAnalyses(const std::vector<int>& valueColumns);
// A command that reads cells as numbers refuses one written with a decimal
// comma, which the leading-number rule would read as the whole number
// before it: the first such cell of the table in the columns given is named
// in a box under the command's title, and false says to write nothing.
bool NoDecimalCommas(const std::vector<int>& columns, const QString& title);
// The box's text for such a cell of the sheet (its column and grid row).
QString DecimalCommaMessage(int column, int row, const QString& text);
// The three components of each sample to percent of their sum, written
// back into DataTable's component cells. A sample whose three components
// are all 0 (only a copy's read takes one) keeps its cells as read, here
// and in WriteCoordinates.
void NormalizeTernary();
// The same without write-back, and PlagRatio = P / (A + P) x 100.
void NormalizeQAPF();
// ColumnHeadings and DataTable back into the active sheet (marking it
// modified), growing it to hold every sample; erases the table and the
// arrays. intoSourceRows writes each sample into the row it was read from
// (TableRows) and leaves every other row as it is.
void WriteTableToGrid(bool intoSourceRows = false);
// A new sheet with the table and the normalised components ("##0.00");
// erases the table and the arrays.
void WriteCoordinates();

}  // namespace MODULE21
