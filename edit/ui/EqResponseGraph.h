#pragma once
// The equaliser's response graph: the combined response of the three bands as the quantised
// coefficients give it, the current band's handle, and the drag that moves that band.

#include <QWidget>

#include "edit/EqDialogModel.h"

namespace pelmora {

class EqResponseGraph : public QWidget {
    Q_OBJECT
public:
    explicit EqResponseGraph(EqDialogModel& model, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {360, 200}; }
    // The plotting area inside the frame, where the scale applies.
    QRect PlotArea() const;

signals:
    // A drag changed the current band.
    void BandChanged();
    // The right button acts as the current band's button.
    void BandButtonPressed(int band);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    EqGraphScale Scale() const;

    EqDialogModel& model_;
};

}  // namespace pelmora
