#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>

class AppController;

// The notes as files the user keeps: an export to Markdown, written on a worker so that a large
// export never holds up the interface.
class Transfers : public QObject {
    Q_OBJECT
public:
    explicit Transfers(AppController& app);
    ~Transfers() override;

    // Asks for a folder without waiting, then exports there.
    void chooseExportFolder();
    // Exports every note not in Recently Deleted into `folder`; says on the dashboard how it
    // went. One export at a time: asking again while one runs does nothing.
    void exportTo(const QString& folder);
    bool exporting() const { return exporting_; }

Q_SIGNALS:
    // An export ended: `error` is empty when every file was written.
    void exported(const QString& folder, int notes, const QString& error);

private:
    void finishExport(const QString& folder, int notes, const QString& error);

    AppController& app_;
    bool exporting_ = false;
    std::shared_ptr<std::atomic<bool>> cancel_ = std::make_shared<std::atomic<bool>>(false);
};
