#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QWebEngineFindTextResult;
class QWebEngineView;

// Finding words on the page: Ctrl+F opens a small field over the page's
// upper right corner (the window's own layout is untouched, and nothing is
// there while it is closed). Matches are found and highlighted as the user
// types, and their number shows; Enter or F3 goes to the next, Shift+Enter
// or Shift+F3 to the one before; Escape closes the field and clears the
// highlight, and so does a new page.
class FindBar final : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWebEngineView* view);

    void Open();
    void Close();
    void Next();
    void Previous();

    QString Text() const;
    QString Count() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Find(bool backward);
    void ShowResult(const QWebEngineFindTextResult& result);
    void OnNewPage();
    void Place();

    QPointer<QWebEngineView> m_view;
    QLineEdit* m_field;
    QLabel* m_count;
};
