#pragma once
// What an editor offers to the municipality picker (TFormInserimentoComune) that it opens.
//
// The editor opens the picker through ApriFinestra, sets the captions and visibility of its three
// buttons, and records itself as the picker's FinestraRichiedente. The picker then talks to it
// through one of these two interfaces, which the editor's class inherits besides its widget base:
//
//   RichiedenteComuni  the request editor, which collects any number of municipalities and zones;
//   RichiedenteComune  the listing editor, which takes exactly one.
//
// The picker never writes to the database; the editor stores what it receives when it saves.

#include <QList>
#include <QString>

namespace tavo {

class RichiedenteComuni
{
public:
    virtual ~RichiedenteComuni() = default;
    // The ID_COMUNE of every entry of the editor's municipality list EditComuni, in list order.
    virtual QList<int> ComuniPresenti() const = 0;
    // Appends one entry (display text, ID_COMUNE) at the end of EditComuni. The picker has already
    // left out the ids the list holds.
    virtual void AggiungiComune(const QString &testo, int idComune) = 0;
    // Called once after each addition, also when every entry was already listed: the editor sets
    // its modified flag and runs its CaricaLocalita.
    virtual void ComuniAggiunti() = 0;
};

class RichiedenteComune
{
public:
    virtual ~RichiedenteComune() = default;
    // The choice: the text of EditComune becomes testo (a municipality's name, or for a zone
    // "MILANO (ZONA BRERA)"), the kept municipality id becomes idComune, the modified flag is set
    // and CaricaLocalita runs. The picker closes itself afterwards.
    virtual void ComuneScelto(const QString &testo, int idComune) = 0;
};

} // namespace tavo
