#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal on the UI thread, so that
// a session end or Ctrl+C in a terminal quits the normal way and the profile
// is written. The handler only writes the signal's number into a pipe.
class CQuitSignals : public QObject {
    Q_OBJECT
public:
    explicit CQuitSignals(QObject* parent = nullptr);
    ~CQuitSignals() override;

signals:
    void received(int signalNumber);

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};
