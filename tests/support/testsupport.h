#ifndef CORVANE_TESTSUPPORT_H
#define CORVANE_TESTSUPPORT_H

#include "app/lumtarmain.h"
#include "app/windowstate.h"
#include "manualclock.h"
#include "service/secretstore_memory.h"
#include "tools/servicesim/servicesim.h"

#include <QJsonObject>
#include <QList>
#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <functional>
#include <memory>

// Keeps every settings object of the test process in a temporary folder, never in the
// user's real settings. Call before the first settings object is made.
void isolateSettings();

// Removes every key the client keeps, as on a machine where it never ran.
void clearSettings();

struct RecordedBox
{
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// What a real box put on screen: its text and how it reads it.
struct ShownBox
{
    QString text;
    Qt::TextFormat format = Qt::AutoText;
};

// Calls `show`, which opens a modal message or question box, closes that box as soon as it is
// up and tells what it showed (an empty text when no box came up).
ShownBox closeShownBox(const std::function<void()>& show);

// A window as the user meets it, pointed at a service simulator and with the message boxes,
// question boxes, balloons and program starts recorded instead of shown or run.
class WindowHarness
{
public:
    // Real time, for benchmarks that measure a run as the user waits for it.
    enum class Time
    {
        Manual,
        Real,
    };
    // Starts a simulator over HTTPS with the standard test data and points the client at it.
    explicit WindowHarness(Time time = Time::Manual);
    ~WindowHarness();

    // Every timer of the window runs on it: time moves only when the test moves it. Null in real time.
    std::unique_ptr<ManualClock> clock;
    ServiceSimulator sim;
    // The window's secret store, kept across the windows of one test.
    std::shared_ptr<MemorySecretStore> secrets = std::make_shared<MemorySecretStore>();
    std::unique_ptr<LumtarMain> window;
    // The window's own boxes, kept before create() replaces them with recorders.
    decltype(LumtarMain::messageBox) realMessageBox;
    decltype(LumtarMain::questionBox) realQuestionBox;
    QList<RecordedBox> boxes;
    QList<QPair<QString, QString>> questions;
    QList<QPair<QString, QString>> balloons;
    QList<QPair<QString, QStringList>> started;
    QMessageBox::StandardButton answer = QMessageBox::No;
    // Runs the client in this folder, which also stands for its installation's folder, so its
    // work files stay in the test.
    QTemporaryDir workDir;

    // Builds the window (the constructor sends its requests at once).
    LumtarMain* create();
    template <typename T> T* find(const QString& name) const { return window->findChild<T*>(name); }
    // Sets up a state the journey has not reached by itself.
    WindowState* state() const { return window->stateModel(); }
    QString text(const QString& lineEditOrLabel) const;
    bool shown(const QString& widget) const; // not explicitly hidden
    void invoke(const char* slot);
    // Moves time on by three seconds for each tick: the status tick runs, and every other
    // timer that falls due on the way.
    void tick(int count = 1);
    // Logs in through the form and waits for the login and account replies.
    bool login(const QString& user = QStringLiteral("alice"),
               const QString& password = QStringLiteral("secret"));
    // Waits until the simulator has answered everything asked of it so far.
    bool settle(int timeoutMs = 5000);
    QStringList boxTitles() const;
    QStringList balloonTitles() const;

private:
    QString previousDir;
};

// Test data: alice/secret (enabled) with three servers, bob/lapsed (not enabled).
QJsonObject standardTestData();

#endif
