// A looping animation in the manner of an animation control: a clip is
// opened by its resource id and played over a range of frames, repeating a
// number of times or without end. Our clip (id 129) shows two machines with
// packets travelling between them and back. The control is transparent: it
// paints only the clip, over its parent's background.
//
// Thread rules: user-interface thread only.
#pragma once

#include <QTimer>
#include <QWidget>

class CAnimationControl : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kConnectionClip = 129;

    explicit CAnimationControl(QWidget* parent = nullptr);

    // False for a clip that we do not have; the area then stays empty.
    bool Open(int resourceId);
    // Frames from..to (-1: the last), repeat times (-1: without end).
    bool Play(int from, int to, int repeat);
    void Stop();

    bool IsOpen() const { return m_nClip != 0; }
    bool IsPlaying() const { return m_Timer.isActive(); }
    int FrameCount() const;
    int CurrentFrame() const { return m_nFrame; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Advance();

    QTimer m_Timer;
    int m_nClip = 0;
    int m_nFrame = 0;
    int m_nFrom = 0, m_nTo = 0;
    int m_nRepeat = 0;
};
