#pragma once

#include <QDate>
#include <QDateTime>

// Today and now, replaceable so that tests can be a Wednesday in April.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    QDate today() const { return now().date(); }
};

class SystemClock : public Clock {
  public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock : public Clock {
  public:
    explicit FixedClock(QDateTime at) : at_(std::move(at)) {}
    explicit FixedClock(QDate day) : at_(day, QTime(19, 30)) {}
    QDateTime now() const override { return at_; }
    void set(QDateTime at) { at_ = std::move(at); }

  private:
    QDateTime at_;
};
