#include "listings/frmInsVarVideo.h"

#include "data/memtable/memtable.h"
#include "listings/galleria.h"
#include "widgets/uiservice.h"

#include <QFileInfo>

TFormInsVarVideo::TFormInsVarVideo(tavo::TMemTable *riga, const QString &percorsoFoto, bool inserimento,
                                   QWidget *parent)
    : QDialog(parent), m_riga(riga)
{
    setupUi(this);
    setWindowTitle(inserimento ? QStringLiteral("Inserimento Video") : QStringLiteral("Modifica Video"));
    connect(ButtonSfogliaVideo, &QToolButton::clicked, this, &TFormInsVarVideo::ButtonSfogliaVideoClick);
    connect(ButtonSfogliaImmagine, &QToolButton::clicked, this, &TFormInsVarVideo::ButtonSfogliaImmagineClick);
    connect(ButtonEseguiVideo, &QPushButton::clicked, this, &TFormInsVarVideo::ButtonEseguiVideoClick);
    connect(ButtonConferma, &QPushButton::clicked, this, &TFormInsVarVideo::ButtonConfermaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &QDialog::reject);

    const QString video = riga->value(QStringLiteral("LINK_VIDEO")).toString();
    EditLINK_VIDEO->setText(video);
    EditPATH_IMAGE->setText(riga->value(QStringLiteral("PATH_IMAGE")).toString());
    EditTITOLO->setText(riga->value(QStringLiteral("TITOLO")).toString());
    EditCODICE_EMBEDDED->setPlainText(
        riga->value(QStringLiteral("CODICE_EMBEDDED")).toString().replace(QLatin1String("\r\n"), QLatin1String("\n")));
    CheckBoxMantieniPercorso->setChecked(tavo::percorsoEsterno(video, percorsoFoto));
}

void TFormInsVarVideo::ButtonSfogliaVideoClick()
{
    const QString file = tavo::ui().fileDaAprire(this, QStringLiteral("Apri"), EditLINK_VIDEO->text(),
                                                 QStringLiteral("Tutti i file (*)"));
    if (!file.isEmpty())
        EditLINK_VIDEO->setText(file);
}

void TFormInsVarVideo::ButtonSfogliaImmagineClick()
{
    const QString file = tavo::ui().fileDaAprire(this, QStringLiteral("Apri"), EditPATH_IMAGE->text(),
                                                 QStringLiteral("JPEG Image File (*.jpg *.jpeg)"));
    if (!file.isEmpty())
        EditPATH_IMAGE->setText(file);
}

void TFormInsVarVideo::ButtonEseguiVideoClick()
{
    const QString video = EditLINK_VIDEO->text();
    if (!video.isEmpty() && QFileInfo(video).isFile())
        tavo::ui().apriFile(video);
}

void TFormInsVarVideo::ButtonConfermaClick()
{
    m_riga->setValue(QStringLiteral("LINK_VIDEO"), EditLINK_VIDEO->text());
    m_riga->setValue(QStringLiteral("PATH_IMAGE"), EditPATH_IMAGE->text());
    m_riga->setValue(QStringLiteral("TITOLO"), EditTITOLO->text());
    // Stored with the line breaks of the program's other memos.
    m_riga->setValue(QStringLiteral("CODICE_EMBEDDED"),
                     EditCODICE_EMBEDDED->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    accept();
}
