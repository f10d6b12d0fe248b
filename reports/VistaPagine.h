#pragma once
// The pages of a prepared report one under the other in a scrolling view.
// Only the pages that show in the view are painted: a report of two thousand
// pages opens as fast as one of a single page.

#include "ReportPreparato.h"

#include <QAbstractScrollArea>
#include <memory>

class VistaPagine : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit VistaPagine(QWidget* parent = nullptr);

    void impostaReport(std::shared_ptr<const ReportPreparato> r);
    const ReportPreparato* report() const { return report_.get(); }

    double zoom() const { return zoom_; }  // 1 = real size
    void impostaZoom(double z);
    double zoomLarghezzaPagina() const;
    double zoomPaginaIntera() const;

    // The page that fills most of the view (from 0), and the way to one.
    int paginaCorrente() const;
    void vaiAPagina(int indice);

    // A box (mm on page `pagina`) drawn highlighted and scrolled into view;
    // a negative page clears it.
    void evidenzia(int pagina, const QRectF& riquadro);

    // Pages painted by the last paint and in all.
    int pagineDipinteUltima() const { return dipinteUltima_; }
    qint64 pagineDipinteTotale() const { return dipinteTotale_; }

Q_SIGNALS:
    void paginaCambiata(int indice);

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    double pxPerMm() const;
    QSizeF pagina() const;       // a page's size in pixels at the current zoom
    double passo() const;        // from a page's top to the next one's
    QRectF rettangoloPagina(int indice) const;  // in content coordinates
    void aggiornaBarre();
    void notificaPagina();

    std::shared_ptr<const ReportPreparato> report_;
    double zoom_ = 1;
    int evidenziataPagina_ = -1;
    QRectF evidenziato_;
    int ultimaNotificata_ = -1;
    int dipinteUltima_ = 0;
    qint64 dipinteTotale_ = 0;
};
