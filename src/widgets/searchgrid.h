#pragma once
// TSearchGrid: the list grid of every search and list screen (DBGridAnnunci, DBGridRichieste,
// DBGridClienti, ...). Screens drop it into their .ui files as a promoted QTableView.
//
//   - read-only, whole rows, single selection (multi-selection on request), alternate row colours,
//     compact rows, columns sized to their content on the first fill and then resized by the user;
//   - the title click cycle: the same column (or the first click) goes none -> ascending -> descending
//     -> none (none forgets the column); another column while a sort is active keeps the direction.
//     In memory mode (the default) the grid sorts the TMemTable behind a TMemTableModel itself; in
//     database mode it emits ordinamentoRichiesto() and the screen reloads its query;
//   - the sorted column's title painted light orange, RGB (254, 213, 153), with an up arrow
//     (ascending) or a down arrow (descending);
//   - hooks for the text and background colour of each row;
//   - a column chooser on the header's right click; the screen's pop-up menu on the rows, whose
//     default entry runs on a double click and on Enter; the standard export entries;
//   - sort, hidden columns and column widths kept in the screen's settings group;
//   - over a TMemTableModel the grid's current row is the table's current row, both ways, so it
//     stays on the same row across sorting and refiltering.

#include "data/memtable/memtablemodel.h"

#include <QAction>
#include <QHash>
#include <QHeaderView>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTableView>

#include <functional>

namespace tavo {

class TFormBase;

// The horizontal header of a TSearchGrid: paints the sorted section with its marker.
class TIntestazioneGriglia : public QHeaderView
{
    Q_OBJECT
public:
    explicit TIntestazioneGriglia(QWidget *parent = nullptr);

    // The section to mark (-1 none) and the sort state (1 ascending, 2 descending).
    void impostaMarcatore(int sezione, int stato);
    int sezioneMarcata() const { return m_sezione; }

    static QColor coloreOrdinamento() { return QColor(254, 213, 153); }

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    int m_sezione = -1;
    int m_stato = 0;
};

class TSearchGrid : public QTableView
{
    Q_OBJECT
    // Database mode: title clicks emit ordinamentoRichiesto() instead of sorting a TMemTable.
    Q_PROPERTY(bool ordinamentoDatabase READ ordinamentoDatabase WRITE impostaOrdinamentoDatabase)
    Q_PROPERTY(bool selezioneMultipla READ selezioneMultipla WRITE impostaSelezioneMultipla)

public:
    enum StatoOrdinamento { Nessuno = 0, Crescente = 1, Decrescente = 2 };

    // A colour for a model row; an invalid QColor keeps the normal one.
    using ColoreRiga = std::function<QColor(int riga)>;
    // The program's grid export (TFormMain::EsportaGriglia): kind 0 Excel, 1 HTML, 2 CSV, 3 XML.
    using Esportatore = std::function<bool(int tipo, const QString &nome, QTableView *griglia)>;

    explicit TSearchGrid(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    // The model as a TMemTableModel, or nullptr.
    TMemTableModel *modelloTabella() const;

    bool ordinamentoDatabase() const { return m_ordinamentoDatabase; }
    void impostaOrdinamentoDatabase(bool database) { m_ordinamentoDatabase = database; }
    bool selezioneMultipla() const;
    void impostaSelezioneMultipla(bool multipla);

    // ---- Sorting ----
    int statoOrdinamento() const { return m_stato; }
    QString colonnaOrdinata() const { return m_colonna; }
    // A title click: moves the sort state as the cycle says, then applies it. With no column: applies
    // the current state again without moving it (after reopening a table, or on show).
    virtual void TitleClick(const QString &colonna = QString());
    void riapplicaOrdinamento() { TitleClick(QString()); }
    // Sets the state without moving or applying it (the stored sort, before the first apply).
    // A state of none, or an empty column, gives no sort.
    void impostaOrdinamento(const QString &colonna, int stato);
    // The sort cannot be done: shows "L'ordinamento su questo campo non è possibile" and drops the
    // sort. Called by the grid itself in memory mode, by the screen in database mode.
    void rifiutaOrdinamento();

    // ---- Columns ----
    // The column name of a section (the TMemTable column, else the model's ColumnNameRole, else the
    // title) and the section of a name (-1 when not shown by the model).
    QString nomeColonna(int sezione) const;
    int sezioneColonna(const QString &nome) const;
    void nascondiColonna(const QString &nome, bool nascosta);
    bool colonnaNascosta(const QString &nome) const;
    // The column chooser ("Colonne visibili"), built for the current columns; the header's right
    // click shows it. The caller does not own it (it lives until the next one is built).
    QMenu *menuColonne();

    // ---- Row colours ----
    void impostaColoreTesto(ColoreRiga colore);
    // The text colour of the selected row (the highlighted text colour when not set or invalid).
    void impostaColoreTestoSelezionato(ColoreRiga colore);
    void impostaColoreSfondo(ColoreRiga colore);

    // ---- Pop-up menu ----
    // The screen's menu for the rows (the screen keeps ownership); shown on a right click on a row.
    void impostaMenu(QMenu *menu);
    QMenu *menu() const { return m_menu; }
    // The entry run by a double click on a row and by Enter; shown bold in the menu.
    void impostaVoceDefault(QAction *voce);
    QAction *voceDefault() const { return m_voceDefault; }

    // ---- Export ----
    // Appends "Esporta in MS Excel", "Esporta in HTML", "Esporta in CSV", "Esporta in XML" (data and
    // kind 0..3, objectNames MenuEsportainMSExcel, MenuEsportainHTML, ...) to the menu; each exports
    // this grid under `nome`. Only the kinds in `abilitati` are enabled. Returns the four entries.
    QList<QAction *> aggiungiVociEsportazione(QMenu *menu, const QString &nome, const QList<int> &abilitati = {1});
    // Exports through the installed exporter; false when it failed or none is installed.
    bool esporta(int tipo, const QString &nome);
    // Installed by the main window at its creation.
    static void impostaEsportatore(Esportatore esportatore);

    // ---- Settings ----
    // Keys under the screen's group, each prefixed with `prefisso` (for screens with two grids):
    // "SortedColumn", "SortMarker" (0 none, 1 ascending, 2 descending), "ColonneNascoste" and
    // "LarghezzeColonne" ("NAME=width" entries). ripristinaStato sets the sort without applying it:
    // the screen applies it with riapplicaOrdinamento() once its data is open.
    void salvaStato(const TFormBase *form, const QString &prefisso = QString()) const;
    void ripristinaStato(const TFormBase *form, const QString &prefisso = QString());

signals:
    // A title click, before the sort state moves (the proposal windows unmark their rows here).
    void titoloCliccato(const QString &colonna);
    // Database mode: reload the rows ordered by `colonna` (stato 1 ascending, 2 descending), or in the
    // natural order (stato 0, empty column). A screen that cannot sort calls rifiutaOrdinamento().
    void ordinamentoRichiesto(const QString &colonna, int stato);

protected:
    // Applies the current state: sorts the TMemTable, or emits ordinamentoRichiesto().
    virtual void applicaOrdinamento();

    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void sezioneCliccata(int sezione);
    void aggiornaMarcatore();
    void menuIntestazione(const QPoint &pos);
    void eseguiVoceDefault();
    void primaDelReset();
    void dopoIlReset();
    void colonneCambiate();
    void applicaColonne();
    void dimensionaPrimaVolta();
    void rigaCorrenteCambiata(const QModelIndex &corrente);
    void cursoreTabellaCambiato();
    void vaiAllaRigaDellaTabella(bool seleziona);
    QString titoloSchermata() const;
    QWidget *schermata() const;

    TIntestazioneGriglia *m_intestazione = nullptr;
    QMenu *m_menuColonne = nullptr;
    QPointer<QMenu> m_menu;
    QPointer<QAction> m_voceDefault;
    QList<QMetaObject::Connection> m_connessioniModello;
    QMetaObject::Connection m_connessioneTabella;
    QPointer<TMemTable> m_tabella;

    bool m_ordinamentoDatabase = false;
    int m_stato = Nessuno;
    QString m_colonna;

    // Kept by column name, so that they survive model resets (a sort resets the model).
    QSet<QString> m_nascoste; // upper-case names
    QHash<QString, int> m_larghezze;
    bool m_dimensionata = false;
    bool m_sincronizzando = false;

    ColoreRiga m_coloreTesto;
    ColoreRiga m_coloreTestoSelezionato;
    ColoreRiga m_coloreSfondo;

    friend class TDelegatoGriglia;
};

} // namespace tavo
