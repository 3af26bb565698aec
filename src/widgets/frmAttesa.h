#pragma once
// TFormAttesa: the wait window of a long run (the filling of a match table): a caption, one line of text and a
// smooth progress bar that advances by one per item. It is not modal; while it lives the application shows the
// hourglass cursor, and each step lets the user interface process pending events so that it repaints.
//
// It implements ProgressoIncroci: inizio() shows it centred on its parent with the given caption, text and
// maximum; avanza() moves the bar (pending events are processed at most every 40 ms: once per row, they took
// longer than the filling itself); fine() hides it and gives the cursor back (also done by the destructor, so an
// error that skips fine() leaves no hourglass behind). A dialog frame without system buttons: the user cannot
// close it.

#include "data/progressoincroci.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;

namespace tavo {

class TFormAttesa : public QDialog, public ProgressoIncroci
{
    Q_OBJECT

public:
    explicit TFormAttesa(QWidget *parent = nullptr);
    ~TFormAttesa() override;

    void inizio(const QString &caption, const QString &testo, int massimo) override;
    void avanza() override;
    void fine() override;

    QLabel *LabelTesto() const { return m_labelTesto; }
    QProgressBar *ProgressBar() const { return m_progressBar; }

protected:
    void keyPressEvent(QKeyEvent *event) override; // Escape does not close a wait window
    void closeEvent(QCloseEvent *event) override;

private:
    void centraSulGenitore();

    QLabel *m_labelTesto = nullptr;
    QProgressBar *m_progressBar = nullptr;
    bool m_cursore = false; // the hourglass is ours to give back
    QElapsedTimer m_ultimiEventi; // since pending events were last processed
};

} // namespace tavo
