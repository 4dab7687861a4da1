// The dialog "Custom Note Chart": the custom chart's title and a two-column
// table of note numbers and descriptions.  It has no logic of its own: the
// chart panel fills it from the chart list (ChartToEditor), shows it modally
// and, after OK, rebuilds the chart list from it (EditorToChart).  Created
// once with the main window, which owns it and hands it to the panel.
#pragma once

#include "charts/ChartEditing.h"
#include "charts/ChartPanel.h"

#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace zembrik {

class IPrompter;

// The key/value grid: one row per entry, keys unique and without "=".
// Insert adds a row above, Down on the last row adds one at the end (both
// only when the current key is not empty); Ctrl+Delete deletes the current
// row, Ctrl+Up and Ctrl+Down go to the first and last row; a row left empty
// is deleted when another row is entered; Escape undoes the cell's edit,
// and deletes an empty row when there is none.  There is always at least
// one row.
class TValueListEditor : public QTableWidget {
    Q_OBJECT
public:
    explicit TValueListEditor(QWidget *parent = nullptr);
    // Rows as given, repeated keys included.
    void SetRows(const QList<TChartRow> &rows);
    QList<TChartRow> Rows() const;
    // The keyboard rules, for the grid and its cell editor.
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);
    // Commits the open cell editor; false when its key was refused.
    bool CommitEdit();
    QLineEdit *CellEditor() const { return editor_; }

signals:
    void Refused(const QString &message);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    friend class TKeyValueDelegate;
    bool rowEmpty(int row) const;
    void deleteRow(int row);
    void addRow(int at);
    QString cellText(int row, int column) const;
    QPointer<QLineEdit> editor_;
    bool refused_ = false;
    bool removing_ = false;
};

class TformEditNoteChart : public QDialog, public IChartEditor {
    Q_OBJECT
public:
    TformEditNoteChart(IPrompter &prompter, QWidget *parent = nullptr);

    void SetTable(const TChartTable &table) override;
    TChartTable Table() const override;
    bool Edit() override { return exec() == QDialog::Accepted; }

    QLabel *lblTitle = nullptr;
    QLineEdit *editTitle = nullptr;
    TValueListEditor *vlistChart = nullptr;
    QListWidget *JvHTListBox1 = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnOk = nullptr;

public slots:
    void accept() override;

private:
    IPrompter &prompter_;
};

} // namespace zembrik
