// The editable table of the database-servers page: a header row and a
// header column, and data rows whose cells are all text. Each data column has
// one style for all its cells: a combo box that also accepts typed text, or
// a drop-down list that offers only its choices. Rows and columns count
// from 1, as row 0 and column 0 are the headers.
//
// Thread rules: user-interface thread only.
#pragma once

#include <QComboBox>
#include <QStringList>
#include <QTableWidget>
#include <QWidget>
#include <vector>

class CGridControl : public QWidget {
    Q_OBJECT

  public:
    enum class CellKind { ComboEdit, DropDownList };

    explicit CGridControl(QWidget* parent = nullptr);

    void SetColumnCount(int columns);
    int GetColumnCount() const { return m_pTable->columnCount(); }
    // Column 0 is the row header.
    void SetHeader(int column, const QString& text, int width);
    // One style per column; choices are "\n"-separated lines, empty lines
    // are dropped.
    void SetColumnStyle(int column, CellKind kind, const QString& choices);
    QStringList ColumnChoices(int column) const;
    void SetTableFont(const QString& face, int weight);

    void InsertRows(int count);
    void RemoveRows();
    int GetRowCount() const { return m_pTable->rowCount(); }

    void SetCellText(int row, int column, const QString& text);
    QString GetCellText(int row, int column) const;
    void SetCurrentCell(int row, int column);
    int CurrentRow() const { return m_pTable->currentRow() + 1; }
    int CurrentColumn() const { return m_pTable->currentColumn() + 1; }
    void SetGridFocus();

    // The cell's editor, for tests and keyboard handling.
    QComboBox* Cell(int row, int column) const;
    QTableWidget* Table() const { return m_pTable; }

  private:
    struct ColumnStyle {
        CellKind kind = CellKind::ComboEdit;
        QStringList choices;
    };
    QComboBox* MakeCell(int row, int column);
    void ApplyStyle(QComboBox* cell, const ColumnStyle& style) const;

    QTableWidget* m_pTable = nullptr;
    std::vector<ColumnStyle> m_Styles;  // index = column - 1
};
