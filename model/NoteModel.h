#pragma once

#include "model/NoteData.h"

#include <QList>
#include <QObject>
#include <QPointF>
#include <QSize>
#include <optional>

// The one live object per note, shared by the controller and every view that shows it.
// Assigning a published property first emits willChange(), then stores the value, then emits
// changed(field), then runs the property's hook (touch-and-save, save, or none); saving is
// asked for with saveRequested(), so the model knows nothing of who keeps it.
class NoteModel : public QObject {
    Q_OBJECT
public:
    enum class Field {
        Text,
        Folded,
        Color,
        Folder,
        Pinned,
        Modified,
        DeletedAt,
        RemindAt,
        OnScreen,
        Images,
        PaperW,
        PaperH,
        SizeBadge,
        Peel,
        Tilt,
        Scale,
        Opacity,
        Crumpled,
        Hovering,
        Incoming
    };
    Q_ENUM(Field)

    // A new note's paper width.
    static constexpr double defaultPaperW = 220;

    explicit NoteModel(const NoteData& data, QObject* parent = nullptr);

    const QUuid& id() const { return id_; }
    const QDateTime& created() const { return created_; }

    // Published, persisted.
    const QString& text() const { return text_; }
    void setText(const QString& text);
    bool folded() const { return folded_; }
    void setFolded(bool folded);
    const QString& color() const { return color_; }
    void setColor(const QString& color);
    const QString& folder() const { return folder_; }
    void setFolder(const QString& folder);
    bool pinned() const { return pinned_; }
    void setPinned(bool pinned);
    const QDateTime& modified() const { return modified_; }
    void setModified(const QDateTime& modified);
    const std::optional<QDateTime>& deletedAt() const { return deletedAt_; }
    void setDeletedAt(const std::optional<QDateTime>& deletedAt);
    const std::optional<QDateTime>& remindAt() const { return remindAt_; }
    void setRemindAt(const std::optional<QDateTime>& remindAt);
    bool onScreen() const { return onScreen_; }
    void setOnScreen(bool onScreen);
    const QStringList& images() const { return images_; }
    void setImages(const QStringList& images);
    double paperW() const { return paperW_; }
    void setPaperW(double w);
    double paperH() const { return paperH_; }
    void setPaperH(double h);

    // Published, transient presentation state.
    const std::optional<QString>& sizeBadge() const { return sizeBadge_; }
    void setSizeBadge(const std::optional<QString>& badge);
    double peel() const { return peel_; }
    void setPeel(double peel);
    double tilt() const { return tilt_; }
    void setTilt(double tilt);
    double scale() const { return scale_; }
    void setScale(double scale);
    double opacity() const { return opacity_; }
    void setOpacity(double opacity);
    bool crumpled() const { return crumpled_; }
    void setCrumpled(bool crumpled);
    bool hovering() const { return hovering_; }
    void setHovering(bool hovering);
    // Pictures on their way in (being read and stored), by the size their headers give: the
    // note makes room for them at once and shows each as a tile that is still coming.
    const QList<QSize>& incoming() const { return incoming_; }
    void setIncoming(const QList<QSize>& incoming);

    // Plain state, not observed: window origin (y-up).
    QPointF origin;

    // When the content last changed and how many such changes each computer made (NoteData);
    // every content setter that alters its value moves both, layout setters leave them.
    const std::optional<QDateTime>& changedAt() const { return changedAt_; }
    const Versions& versions() const { return versions_; }
    // Takes the content of `record` (another computer's version of this note, chosen by a
    // merge) with its change stamp and versions, telling the views; the layout stays.
    void adoptContent(const NoteData& record);
    // A picture the note names has arrived on disk (from another computer): the views show it
    // in place of its placeholder. Nothing changes and nothing is saved.
    void imagesArrived();

    NoteData data() const;
    // Changes with every assignment and differs between notes: a saved record whose note has
    // the same revision and origin is still that note's record.
    quint64 revision() const { return revision_; }
    QString title() const;
    QString preview() const;
    QStringList tags() const;

Q_SIGNALS:
    void willChange();
    // After the value is stored, before the hook. Slots run inside the caller's animation
    // transaction, so a view can read motion::currentAnimation() to animate the change.
    void changed(NoteModel::Field field);
    // A persisted value changed: whoever keeps the notes writes them out. Unconnected, the
    // note still takes every assignment and saves nothing.
    void saveRequested();

private:
    template <typename T> void assign(T& slot, const T& value, Field field);
    template <typename T> void assignContent(T& slot, const T& value, Field field);
    void stampContent();
    void touchAndSave();
    void save();
    QStringList lines() const;

    QUuid id_;
    QDateTime created_;
    QString text_;
    bool folded_ = false;
    QString color_;
    QString folder_;
    bool pinned_ = false;
    QDateTime modified_;
    std::optional<QDateTime> deletedAt_;
    std::optional<QDateTime> remindAt_;
    bool onScreen_ = false;
    QStringList images_;
    double paperW_ = defaultPaperW;
    double paperH_ = 220;
    std::optional<QDateTime> changedAt_;
    Versions versions_;
    std::optional<QString> sizeBadge_;
    double peel_ = 0;
    double tilt_ = 0;
    double scale_ = 1;
    double opacity_ = 1;
    bool crumpled_ = false;
    QList<QSize> incoming_;
    bool hovering_ = false;
    quint64 revision_ = 0;
};

// One live note per record, in order.
QList<NoteModel*> makeNotes(const QList<NoteData>& records, QObject* parent = nullptr);
