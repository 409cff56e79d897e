#pragma once
// What one report window computes, shows and exports, as plain data. The engine
// (report_engine.h), the window (ui/report_window.h), the export (report_export.h)
// and the template generator (report_templates.h) all read these definitions, so a
// table is described once and grid, workbook template and export agree.
//
// Adding a window:
//  1. Write its definition in report_catalogue.cpp (copy the nearest existing one):
//     className, kind, the titles it serves (a breakdown window lists one title per
//     variant, -2 first), tableName (the title without number and "全国"), H and C,
//     the heading blocks, and the scheme: scale bands (bandAggregate, bandDivisor,
//     column-1 heading) or measure columns (selectList with aliases a1, a2, …, and
//     one ColumnFormula per value column 1 … C-1).
//  2. National summary: the ten category labels and whether the 地方 row takes form
//     (a) (every state-owned record) or (b) (only the group without 央企名称).
//     Breakdown: grandTotalLabel when a "全国总计"/"全国合计" row precedes the zones.
//  3. Unit caption (empty text hides it) with its offsets, click/selection thresholds
//     when they differ from 1, and the export block (folder, S, K, column mapping).
//     For charts: the column groups that are parts of a whole, and the units of
//     columns the caption does not describe.
//  4. Add the class to the menu table; registerReportWindows() registers every class
//     of the catalogue and the template generator writes its workbook by itself.
// Column names given here are the only ones that reach SQL text; values never do.
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace kestrova::reports {

enum class TableKind { NationalSummary, Breakdown };
enum class Scheme { ScaleBands, MeasureColumns };

// A merged heading block: first column, row, columns × rows, and its text (a text may
// hold several lines separated by '\r').
struct HeadingBlock {
    int col = 0;
    int row = 0;
    int cols = 1;
    int rows = 1;
    QString text;
};

// One aggregate of the select list: count(*) (column empty) or sum(column), under alias.
struct Aggregate {
    enum class Fn { Count, Sum };
    Fn fn = Fn::Sum;
    QString column;
    QString alias;
};

// How one value column is computed from a result row.
struct ColumnFormula {
    enum class Kind {
        Scaled,       // (Σ aliases) × multiplier / divisor, in general format
        FieldText,    // the one alias's text written unchanged
        SumOfColumns, // Σ of other value columns of the same row, computed last
        NotComputed,  // keeps "0"; subtotals add it as 0
    };
    Kind kind = Kind::Scaled;
    QStringList aliases;
    double multiplier = 1;
    double divisor = 1;
    QList<int> columns;
};

// The variants a breakdown window tells apart by its title.
enum class Variant { ByRegion = 2, StateOwned = 4, NonStateOwned = 5, Reserve = 6, Processing = 7, Logistics = 8 };

struct ServedTitle {
    QString title;
    Variant variant = Variant::ByRegion; // ignored by national summary tables
};

// Row R highlighted by a click or selection is painted when above the paint threshold;
// the previously highlighted row is painted white when above the unpaint threshold.
struct Thresholds {
    int clickPaint = 1;
    int clickUnpaint = 1;
    int selectPaint = 1;
    int selectUnpaint = 1;
};

struct UnitCaption {
    QString text; // empty: the caption stays hidden
    int offsetAtCreation = 60;
    int offsetOnMouseUp = 60;
};

// Workbook export: grid rows S … last go to sheet rows r + K (1-based); grid columns
// firstGridColumn … lastGridColumn go to sheet columns firstSheetColumn onwards.
struct ExportSpec {
    QString folder;    // "1-1": templet/<folder>/
    QString fixedFile; // breakdown: "表1-1-2 通表"; empty: the national title
    int firstRow = 0;  // S
    int rowOffset = 3; // K
    int firstGridColumn = 0;
    int lastGridColumn = 0;
    int firstSheetColumn = 1;
};

struct ReportDefinition {
    QString className;
    TableKind kind = TableKind::NationalSummary;
    QList<ServedTitle> titles;
    QString tableName;
    int headingRows = 3; // H; the first data row D = H
    int columns = 6;     // C
    QList<HeadingBlock> headings;
    QMap<int, int> headingRowHeights;      // row -> pixels, where not 30
    int nationalFirstDataRowHeight = 0;    // pixels of row D in the region layout; 0 = common

    Scheme scheme = Scheme::MeasureColumns;
    // Scale bands: one aggregate under alias "ct", run once per band column 1 … 5.
    Aggregate bandAggregate;
    double bandDivisor = 1;
    // Measure columns: the select list and one formula per value column 1 … C-1.
    QList<Aggregate> selectList;
    QList<ColumnFormula> formulas;
    // The production-corps row is written only when this alias is not empty; with no
    // alias, whenever the corps have records (an indicator left empty proves nothing).
    QString presenceAlias = QStringLiteral("a1");
    // After the category subtotals, sum-of-columns formulas are applied again to every
    // data row, so subtotal rows obey them too.
    bool recomputeSumsAfterCategories = false;

    // National summary: the ten category labels and the 地方 row's form.
    QStringList categoryLabels;
    bool stateOwnedFormB = true;
    // Breakdown at the national level: a grand-total row before the zones, or none.
    QString grandTotalLabel;

    UnitCaption unit;
    // Charts. Groups of value columns that are the parts of one whole (scale bands,
    // warehouse types, tank classes): a chart of such a table stacks each group's bars,
    // the first group by default. Units of the columns whose unit is not the caption's
    // (counts beside quantities), by column.
    QList<QList<int>> chartParts;
    QMap<int, QString> columnUnits;
    Thresholds thresholds;
    ExportSpec exportSpec;

    bool isNational() const { return kind == TableKind::NationalSummary; }
    int firstDataRow() const { return headingRows; }
};

} // namespace kestrova::reports
