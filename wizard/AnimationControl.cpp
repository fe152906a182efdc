#include "wizard/AnimationControl.h"

#include <QPainter>

namespace {

constexpr int kFrames = 24;
constexpr int kFrameMs = 80;

void DrawMachine(QPainter& p, const QRect& r, const QColor& screen) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(r);
    p.setBrush(screen);
    p.drawRect(r.adjusted(4, 4, -4, -r.height() / 3));
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(QRect(r.center().x() - r.width() / 4, r.bottom() + 1, r.width() / 2, 3));
}

}  // namespace

CAnimationControl::CAnimationControl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
    m_Timer.setInterval(kFrameMs);
    connect(&m_Timer, &QTimer::timeout, this, &CAnimationControl::Advance);
}

bool CAnimationControl::Open(int resourceId) {
    Stop();
    m_nClip = resourceId == kConnectionClip ? resourceId : 0;
    m_nFrame = 0;
    update();
    return IsOpen();
}

int CAnimationControl::FrameCount() const {
    return IsOpen() ? kFrames : 0;
}

bool CAnimationControl::Play(int from, int to, int repeat) {
    if (!IsOpen()) return false;
    if (to < 0 || to >= kFrames) to = kFrames - 1;
    if (from < 0 || from > to) return false;
    m_nFrom = from;
    m_nTo = to;
    m_nRepeat = repeat;
    m_nFrame = from;
    m_Timer.start();
    update();
    return true;
}

void CAnimationControl::Stop() {
    m_Timer.stop();
}

void CAnimationControl::Advance() {
    if (m_nFrame < m_nTo) {
        ++m_nFrame;
    } else if (m_nRepeat < 0 || --m_nRepeat > 0) {
        m_nFrame = m_nFrom;
    } else {
        Stop();
    }
    update();
}

void CAnimationControl::paintEvent(QPaintEvent*) {
    if (!IsOpen()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    const int h = height() - 8;
    const int w = h * 4 / 3;
    const QRect left(8, 2, w, h - 4);
    const QRect right(width() - 8 - w, 2, w, h - 4);
    DrawMachine(p, left, QColor(0, 0, 128));
    DrawMachine(p, right, QColor(0, 128, 128));

    // Packets travel out in the first half of the clip and back in the
    // second, three at a time, a third of the way apart.
    const int x0 = left.right() + 6, x1 = right.left() - 14;
    const int y = left.center().y();
    const bool outward = m_nFrame < kFrames / 2;
    const int step = m_nFrame % (kFrames / 2);
    p.setPen(Qt::NoPen);
    for (int k = 0; k < 3; ++k) {
        const int pos = (step + k * (kFrames / 6)) % (kFrames / 2);
        const double f = pos / double(kFrames / 2 - 1);
        const int x = outward ? x0 + int(f * (x1 - x0)) : x1 - int(f * (x1 - x0));
        p.setBrush(outward ? QColor(255, 255, 0) : QColor(0, 192, 0));
        p.drawRect(QRect(x, y - 4 + (k - 1) * 10, 8, 6));
    }
}
