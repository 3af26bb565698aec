#pragma once
// The photo preview ("Anteprima Foto dell'annuncio con riferimento "..."): a sheet of thumbnails of a listing's
// photos, opened through ApriFinestra by the listing editor ("Anteprima Completo") and the listing search
// ("Anteprima Foto"). The caller passes the reference and the photos; the window is drawn first and filled by a
// one-shot 100 ms timer.
//
// Each thumbnail is framed light orange, RGB (234, 178, 132), for the main photo (PRINCIPALE "S"), otherwise
// green, RGB (163, 199, 107), for a floor plan (PLANIMETRIA "S"), otherwise in the window's colour; a caption
// (DIDASCALIA) becomes its title. Missing or unreadable files are skipped. A double click opens the file with its
// associated program; Escape closes.
//
// Entry points (also by name, for screens that reach this one through the screen registry):
//   MostraFoto(QString riferimento, QStringList percorsi)     plain frames (paths only);
//   MostraFotoRighe(QString riferimento, QVariantList righe)  each row a QVariantMap with PATH_IMAGE,
//                                                             DIDASCALIA, PRINCIPALE, PLANIMETRIA.

#include "listings/galleria.h"
#include "widgets/formbase.h"

#include "ui_frmAnteprimaFoto.h"

#include <QList>

class QTimer;

class TFormAnteprimaFoto : public tavo::TFormBase, public Ui::TFormAnteprimaFoto
{
    Q_OBJECT
public:
    explicit TFormAnteprimaFoto(QWidget *parent = nullptr);

    static QColor colorePrincipale() { return QColor(234, 178, 132); }
    static QColor colorePlanimetria() { return QColor(163, 199, 107); }
    // The frame colour of a thumbnail (the window's colour for an ordinary photo).
    QColor coloreCornice(const tavo::FotoAnteprima &foto) const;

    void MostraFoto(const QString &riferimento, const QList<tavo::FotoAnteprima> &foto);
    Q_INVOKABLE void MostraFoto(const QString &riferimento, const QStringList &percorsi);
    Q_INVOKABLE void MostraFotoRighe(const QString &riferimento, const QVariantList &righe);

    // Item data: the file (Qt::UserRole) and the frame colour (Qt::UserRole + 1).
    static constexpr int RuoloPercorso = Qt::UserRole;
    static constexpr int RuoloCornice = Qt::UserRole + 1;

    QTimer *TimerCaricamento = nullptr;

    // Room for a few rows of thumbnails when the window first opens.
    QSize sizeHint() const override { return QSize(640, 460); }

private:
    void TimerCaricamentoTimer();
    void ThumbViewFotoDblClick(QListWidgetItem *voce);

    QList<tavo::FotoAnteprima> m_foto;
};
