#pragma once
// TVistaImmagine: the in-page preview of the listing editor's photo and video lists (ImgView32Foto,
// ImgView32Video), promoted from a QFrame in the Designer form.
//
// mostraFile() clears the view and, when the path names an existing file that can be read as a picture, shows it
// scaled to fit: a picture wider than tall by the view's width, any other by the view's height. A picture that
// cannot be loaded leaves the view empty, without a message. The scale follows the view's size. A double click
// opens the file with its associated program (through the dialog service) when it exists.

#include <QFrame>
#include <QImage>

class TVistaImmagine : public QFrame
{
    Q_OBJECT
public:
    explicit TVistaImmagine(QWidget *parent = nullptr);

    void mostraFile(const QString &percorso);
    void svuota();
    QString file() const { return m_file; }
    bool haImmagine() const { return !m_immagine.isNull(); }
    // The scale the picture is drawn at (0 without a picture).
    double scala() const;

signals:
    void doppioClic();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString m_file;
    QImage m_immagine;
};
