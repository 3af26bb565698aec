// TFormInsVarAnnunci, continued: "Mostra Incroci", the requests that the listing on screen (saved or not)
// satisfies, handed to the request search.

#include "app/frmMain.h"
#include "data/dmQueryComposte.h"
#include "listings/frmInsVarAnnunci.h"
#include "listings/registroschermate.h"
#include "widgets/searchgrid.h"
#include "widgets/tavoapplication.h"

#include <QAction>

namespace db = tavo::db;

void TFormInsVarAnnunci::ButtonIncrociClick()
{
    QVector<int> ids;
    try {
        if (!Convalida(false))
            return;
        ids = IncrociSchermo();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    if (ids.isEmpty()) {
        errore(QStringLiteral("Nessuna Richiesta soddisfa le condizioni immesse"));
        return;
    }
    ConsegnaIncroci(ids);
}

QVector<int> TFormInsVarAnnunci::IncrociSchermo()
{
    tavo::TDataModuleQueryComposte *dm = TFormMain::istanza()->DataModuleQueryComposte();
    if (!dm)
        return {};
    return dm->IncrociAnnuncio(tavo::valoriIncrocio(valoriSchermo()));
}

void TFormInsVarAnnunci::ConsegnaIncroci(const QVector<int> &ids)
{
    const tavo::FabbricaSchermata fabbrica = tavo::fabbricaSchermata(classeRicercaRichieste());
    tavo::TDataModuleQueryComposte *dm = TFormMain::istanza()->DataModuleQueryComposte();
    if (!fabbrica || !dm || ids.isEmpty())
        return;
    QStringList testo;
    for (int id : ids)
        testo << QString::number(id);
    tavo::TMemTable *richieste = dm->MemTableRichieste();
    try {
        richieste->close();
        richieste->setFilter(QString());
        richieste->setFiltered(false);
        QStringList &sql = dm->IBDataSetRichieste().SQL();
        sql[tavo::TDataModuleQueryComposte::RigaFiltroRichieste] =
            QStringLiteral("and ID_RICHIESTA in (") + testo.join(QLatin1Char(',')) + QLatin1Char(')');
        sql[tavo::TDataModuleQueryComposte::RigaOrdineRichieste] = QStringLiteral("order by DATA_ULT_MODIFICA");

        QWidget *ricerca = TFormMain::istanza()->ApriFinestra(classeRicercaRichieste(), fabbrica);
        auto *griglia = ricerca->findChild<tavo::TSearchGrid *>(QStringLiteral("DBGridRichieste"));
        if (griglia)
            griglia->impostaVoceDefault(ricerca->findChild<QAction *>(QStringLiteral("MenuVaiallaRichiesta")));
        ricerca->setWindowTitle(QStringLiteral("Elenco Richieste incrociati su Annuncio"));
        if (auto *pannello = ricerca->findChild<QWidget *>(QStringLiteral("PanelTop"))) {
            pannello->hide();
            pannello->setProperty("tag", m_idModificato);
        }
        richieste->open();
        if (griglia)
            griglia->riapplicaOrdinamento();
        richieste->first();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
}
