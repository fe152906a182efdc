#include "wizard/GridControl.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QVBoxLayout>

CGridControl::CGridControl(QWidget* parent) : QWidget(parent) {
    m_pTable = new QTableWidget(this);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pTable->horizontalHeader()->setHighlightSections(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pTable);
    setFocusProxy(m_pTable);
}

void CGridControl::SetColumnCount(int columns) {
    m_pTable->setColumnCount(columns);
    m_Styles.resize(static_cast<size_t>(columns));
}

void CGridControl::SetHeader(int column, const QString& text, int width) {
    if (column == 0) {
        m_pTable->verticalHeader()->setFixedWidth(width);
        return;
    }
    if (column < 1 || column > GetColumnCount()) return;
    m_pTable->setHorizontalHeaderItem(column - 1, new QTableWidgetItem(text));
    m_pTable->setColumnWidth(column - 1, width);
}

void CGridControl::SetColumnStyle(int column, CellKind kind, const QString& choices) {
    if (column < 1 || column > GetColumnCount()) return;
    ColumnStyle& style = m_Styles[static_cast<size_t>(column - 1)];
    style.kind = kind;
    style.choices = choices.split(u'\n', Qt::SkipEmptyParts);
    for (int row = 1; row <= GetRowCount(); ++row) {
        if (QComboBox* cell = Cell(row, column)) ApplyStyle(cell, style);
    }
}

QStringList CGridControl::ColumnChoices(int column) const {
    if (column < 1 || column > GetColumnCount()) return {};
    return m_Styles[static_cast<size_t>(column - 1)].choices;
}

void CGridControl::SetTableFont(const QString& face, int weight) {
    QFont font(face);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleHint(QFont::TypeWriter);
    m_pTable->setFont(font);
}

void CGridControl::ApplyStyle(QComboBox* cell, const ColumnStyle& style) const {
    const QString text = cell->currentText();
    cell->blockSignals(true);
    cell->clear();
    cell->setEditable(style.kind == CellKind::ComboEdit);
    if (style.kind == CellKind::DropDownList) cell->addItem(QString());  // no choice yet
    cell->addItems(style.choices);
    cell->blockSignals(false);
    if (style.kind == CellKind::ComboEdit) {
        cell->setInsertPolicy(QComboBox::NoInsert);
        cell->setEditText(text);
    } else {
        const int index = cell->findText(text);
        cell->setCurrentIndex(index < 0 ? 0 : index);
    }
}

QComboBox* CGridControl::MakeCell(int row, int column) {
    auto* cell = new QComboBox;
    cell->setObjectName(QStringLiteral("cell%1_%2").arg(row).arg(column));
    cell->setFrame(false);
    ApplyStyle(cell, m_Styles[static_cast<size_t>(column - 1)]);
    if (cell->isEditable()) cell->setEditText(QString());
    m_pTable->setCellWidget(row - 1, column - 1, cell);
    return cell;
}

void CGridControl::InsertRows(int count) {
    const int first = GetRowCount() + 1;
    m_pTable->setRowCount(GetRowCount() + count);
    for (int row = first; row < first + count; ++row) {
        for (int column = 1; column <= GetColumnCount(); ++column) MakeCell(row, column);
    }
}

void CGridControl::RemoveRows() {
    m_pTable->setRowCount(0);
}

QComboBox* CGridControl::Cell(int row, int column) const {
    if (row < 1 || row > GetRowCount() || column < 1 || column > GetColumnCount()) return nullptr;
    return qobject_cast<QComboBox*>(m_pTable->cellWidget(row - 1, column - 1));
}

void CGridControl::SetCellText(int row, int column, const QString& text) {
    QComboBox* cell = Cell(row, column);
    if (!cell) return;
    if (cell->isEditable()) {
        cell->setEditText(text);
    } else {
        const int index = cell->findText(text);
        cell->setCurrentIndex(index < 0 ? 0 : index);
    }
}

QString CGridControl::GetCellText(int row, int column) const {
    QComboBox* cell = Cell(row, column);
    return cell ? cell->currentText() : QString();
}

void CGridControl::SetCurrentCell(int row, int column) {
    if (!Cell(row, column)) return;
    m_pTable->setCurrentCell(row - 1, column - 1);
    m_pTable->scrollTo(m_pTable->model()->index(row - 1, column - 1));
    if (m_pTable->hasFocus() || hasFocus()) Cell(row, column)->setFocus(Qt::OtherFocusReason);
}

void CGridControl::SetGridFocus() {
    QComboBox* cell = Cell(CurrentRow(), CurrentColumn());
    if (cell) {
        cell->setFocus(Qt::OtherFocusReason);
    } else {
        m_pTable->setFocus(Qt::OtherFocusReason);
    }
}
