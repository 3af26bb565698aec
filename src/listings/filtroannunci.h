#pragma once
// The listing search's filters without widgets: the values of the filter panel, the filter expression they give
// on MemTableAnnunci (in the language of filterexpression.h), and the ".par" parameter files that keep them.
//
// Expression: one term per set control, joined by " and ", in the panel's order (client, municipality, property
// type, listing type, locality, minimum and maximum price, reference, minimum and maximum area, minimum and
// maximum rooms, state, priority). Texts are quoted with every "'" doubled; numbers lose their fraction and are
// written as plain integers; "Pubblicabili" gives "PRIORITA>0".
//
// Parameter file: an INI-style text with the section "Ricerca Annunci" and the keys "Cliente", "Comune",
// "Tipologia Immobili", "Tipologia Annunci", "Località", "Riferimento", "Prezzo Min", "Prezzo Max", "Mq Min",
// "Mq Max", "Locali Min", "Locali Max", "Inattivi" and "Priorità". Written in Windows-1252 with CR LF line ends
// and the numbers in the user's locale; read in Windows-1252 or UTF-8, section and key names ignoring case,
// missing or unreadable values taking their defaults.

#include <QString>
#include <QStringList>

namespace tavo {

struct ParametriFiltroAnnunci
{
    // The positions of ComboBoxStatoAnnunci and ComboBoxPriorita.
    enum Stato { StatoNessuno = -1, Attivi = 0, Inattivi = 1, Tutti = 2 };
    static constexpr int PrioritaNessuna = -1;
    static constexpr int Pubblicabili = 6; // after "Non Pubblicare" (0) ... "Massima" (5)

    int idCliente = 0; // 0: no client selected
    QString cliente;   // the text of the selected client entry (kept in the parameter file)
    QString comune;
    QString tipImmobile;
    QString tipAnnuncio;
    QString localita;
    QString riferimento;
    double prezzoMin = 0;
    double prezzoMax = 0;
    double mqMin = 0;
    double mqMax = 0;
    double localiMin = 0;
    double localiMax = 0;
    int stato = Attivi;
    int priorita = PrioritaNessuna;

    bool operator==(const ParametriFiltroAnnunci &o) const;
    bool operator!=(const ParametriFiltroAnnunci &o) const { return !(*this == o); }
};

// The captions of ComboBoxStatoAnnunci and ComboBoxPriorita, in position order.
QStringList vociStatoAnnunci();
QStringList vociPriorita();

// 'text' with every "'" doubled.
QString testoQuotato(const QString &testo);
// The filter expression of the panel's values ("" when nothing is set).
QString espressioneFiltroAnnunci(const ParametriFiltroAnnunci &p);

// The ids of an ID_INCROCI text (one per CR LF line) joined with ",", for the "in (...)" slot lines.
QString idIncrociInElenco(const QString &idIncroci);

// Writes the parameter file (replacing it whole). False with an Italian message when it cannot be written; an
// existing file is then left as it was.
bool scriviParametriFiltro(const QString &file, const ParametriFiltroAnnunci &p, QString *errore = nullptr);
// Reads a parameter file into p (idCliente stays 0: the screen finds the client by its text). Missing keys and
// values that are not numbers take the defaults (texts "", numbers 0, "Inattivi" 0, "Priorità" -1); positions
// outside the lists become "none". False with an Italian message when the file cannot be read; p is then left
// unchanged.
bool leggiParametriFiltro(const QString &file, ParametriFiltroAnnunci &p, QString *errore = nullptr);

} // namespace tavo
