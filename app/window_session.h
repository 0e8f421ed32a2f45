#pragma once

#include <QObject>
#include <QString>

#include "app/session.h"

namespace tesral {

/**
 * The session as the window sees it: the Qt-free Session, announcing its changes. The list,
 * the plot boxes and the commands connect to these signals instead of being called one by
 * one. It also knows the folder of the working files ("tmp.hkl", "clipboard.hkl", "a.wmf" and
 * the "data" folder), so that two windows, or two tests, never share them.
 */
class WindowSession : public QObject {
    Q_OBJECT

  public:
    /** The "data" folder below `workingFolder` is made when missing. */
    explicit WindowSession(const QString& workingFolder, QObject* parent = nullptr);

    Session& core() { return session_; }
    const Session& core() const { return session_; }
    bool calculated() const { return session_.calculated(); }

    /** Takes a completed run: aboutToChange(), then published(). */
    void publish(RunResult result, ProjectedPoints points);
    /** "New" and a cancelled run: aboutToChange(), then cleared(). */
    void clear();

    /** While a run fills the session, commands that read or change it are refused. */
    bool busy() const { return busy_; }
    void setBusy(bool busy);

    QString workingFolder() const { return workingFolder_; }
    /** A working file of this session, such as "tmp.hkl". */
    QString workingFile(const QString& name) const;
    /** Where the save dialogs start: "data" below the working folder, made when missing. */
    QString dataFolder() const;

  signals:
    /** The rows are about to be replaced or released: drop every pointer into them. */
    void aboutToChange();
    void published();
    void cleared();
    void busyChanged(bool busy);

  private:
    Session session_;
    bool busy_ = false;
    QString workingFolder_;
};

}  // namespace tesral
