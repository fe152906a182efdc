// An edit for a directory path with a small button beside it that opens a
// "Select Directory" dialog; the chosen directory replaces the edit's text.
#pragma once

#include <QLineEdit>
#include <QWidget>
#include <functional>

class QToolButton;

class CDirectoryBrowseEdit : public QWidget {
    Q_OBJECT

  public:
    explicit CDirectoryBrowseEdit(QWidget* parent = nullptr);

    QLineEdit* Edit() const { return m_pEdit; }
    QToolButton* BrowseButton() const { return m_pBrowse; }

    // Opens the directory selection; returns whether a directory was chosen.
    bool Browse();

    // Replaces the selection dialog (tests): given the caption and the start
    // directory, returns the chosen directory or an empty string.
    using Chooser = std::function<QString(QWidget*, const QString&, const QString&)>;
    void SetChooser(Chooser chooser) { m_Chooser = std::move(chooser); }

  private:
    QLineEdit* m_pEdit = nullptr;
    QToolButton* m_pBrowse = nullptr;
    Chooser m_Chooser;
};
