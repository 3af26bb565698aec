#pragma once
// What the screen tests of src/clients share: a settings file of their own for each test, the main
// window started on a test database and active (the fields' exit checks need real focus changes),
// and every screen closed before the main window goes (their transactions use its connection).

#include "app/core/impostazioni.h"
#include "app/frmMain.h"
#include "scripteduiservice.h"
#include "tempdatabase.h"
#include "widgets/formbase.h"
#include "widgets/tavoapplication.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

namespace tavo::test::schermate {

// A fresh settings file (and data folder) for each test.
class Impostazioni
{
public:
    void nuove()
    {
        impostaFileImpostazioni(m_dir.filePath(QStringLiteral("impostazioni%1.ini").arg(++m_n)));
        qputenv("TAVO_CARTELLA_APPLICAZIONE", QFile::encodeName(m_dir.filePath(QStringLiteral("dati"))));
    }

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

inline bool avvia(TFormMain &main)
{
    if (!main.Avvia())
        return false;
    main.show();
    main.activateWindow();
    return QTest::qWaitForWindowActive(&main);
}

// Closed screens are destroyed later: this runs the pending deletions.
inline void elaboraEliminazioni()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void chiudiTutto(TFormMain &main)
{
    for (QMdiSubWindow *sub : main.mdiArea()->subWindowList())
        if (auto *editor = qobject_cast<TEditorBase *>(sub->widget()))
            editor->impostaModificato(false);
    main.MenuChiudiTuttoClick();
    elaboraEliminazioni();
}

inline bool rossa(const QLabel *l)
{
    return l->palette().color(QPalette::WindowText) == QColor(Qt::red);
}

} // namespace tavo::test::schermate
