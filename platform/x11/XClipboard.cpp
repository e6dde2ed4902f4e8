#include "platform/x11/XClipboard.h"

#include <QElapsedTimer>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <poll.h>
#include <vector>
#include <xcb/xcb.h>

namespace platform {

namespace {

// More than any image the decoder would accept takes when encoded.
constexpr qsizetype maxBytes = 512 * 1024 * 1024;

// Rich text alone counts as text too: the toolkit reads it when no plain form comes with it.
constexpr std::array textTargets{"UTF8_STRING",   "STRING",     "TEXT",
                                 "COMPOUND_TEXT", "text/plain", "text/plain;charset=utf-8",
                                 "text/html"};
// The text targets whose bytes are known, in order of preference, and whether they are UTF-8
// (else Latin-1).
constexpr std::array readableTexts{std::pair{"UTF8_STRING", true},
                                   std::pair{"text/plain;charset=utf-8", true},
                                   std::pair{"STRING", false}};
// In order of preference: lossless first.
constexpr std::array imageTargets{"image/png",  "image/bmp",  "image/tiff",
                                  "image/webp", "image/jpeg", "image/gif"};

template <typename T> struct Freed {
    T* p;
    explicit Freed(T* reply)
        : p(reply)
    {
    }
    ~Freed() { std::free(p); }
    Freed(const Freed&) = delete;
    Freed& operator=(const Freed&) = delete;
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

struct Property {
    xcb_atom_t type = XCB_NONE;
    QByteArray bytes;
};

// One conversation with the clipboard's owner: a private connection, an invisible window to
// receive the answers, and the two deadlines.
class Conversation {
public:
    Conversation(int answerMs, int overallMs)
        : answerMs_(answerMs)
        , overallMs_(overallMs)
    {
        overall_.start();
        int screenNumber = 0;
        c_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(c_) != 0) {
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (int i = 0; i < screenNumber && it.rem > 0; ++i) {
            xcb_screen_next(&it);
        }
        if (it.rem == 0) {
            return;
        }
        window_ = xcb_generate_id(c_);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, it.data->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &mask);
    }
    ~Conversation() { xcb_disconnect(c_); }
    Conversation(const Conversation&) = delete;
    Conversation& operator=(const Conversation&) = delete;

    bool usable() const { return window_ != XCB_NONE && xcb_connection_has_error(c_) == 0; }
    bool silent() const { return silent_; }

    // Asks the server (never the owner) for many atoms in one round trip.
    template <std::size_t N>
    std::array<xcb_atom_t, N> atoms(const std::array<const char*, N>& names)
    {
        std::array<xcb_intern_atom_cookie_t, N> cookies{};
        for (std::size_t i = 0; i < N; ++i) {
            cookies[i] = xcb_intern_atom(c_, 0, uint16_t(qstrlen(names[i])), names[i]);
        }
        std::array<xcb_atom_t, N> out{};
        for (std::size_t i = 0; i < N; ++i) {
            const Freed reply(xcb_intern_atom_reply(c_, cookies[i], nullptr));
            out[i] = reply ? reply->atom : XCB_NONE;
        }
        return out;
    }

    bool hasOwner(xcb_atom_t selection)
    {
        const Freed reply(
            xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, selection), nullptr));
        return reply && reply->owner != XCB_NONE;
    }

    // The owner's answer for one target; nothing when it refused or did not answer in time.
    std::optional<Property> convert(xcb_atom_t selection, xcb_atom_t target, xcb_atom_t incr)
    {
        property_ = target; // any atom of our own window will do; the target's name is unique
        xcb_convert_selection(c_, window_, selection, target, property_, XCB_CURRENT_TIME);
        xcb_flush(c_);
        xcb_generic_event_t* event = next(XCB_SELECTION_NOTIFY);
        if (event == nullptr) {
            silent_ = true;
            return std::nullopt;
        }
        const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
        const bool refused = notify->property == XCB_NONE;
        std::free(event);
        if (refused) {
            return std::nullopt;
        }
        Property first = take();
        if (first.type != incr) {
            return first;
        }
        return incrementally();
    }

private:
    // Reads and deletes the property; deleting it asks an incremental sender for more.
    Property take()
    {
        const Freed reply(xcb_get_property_reply(c_,
                                                 xcb_get_property(c_, 1, window_, property_,
                                                                  XCB_GET_PROPERTY_TYPE_ANY, 0,
                                                                  uint32_t(maxBytes / 4)),
                                                 nullptr));
        if (!reply) {
            return {};
        }
        return {reply->type, QByteArray(static_cast<const char*>(xcb_get_property_value(reply.p)),
                                        xcb_get_property_value_length(reply.p))};
    }

    // Large data comes in chunks, each announced by a new value of the property; an empty
    // chunk ends it.
    std::optional<Property> incrementally()
    {
        Property whole;
        for (;;) {
            xcb_generic_event_t* event = next(XCB_PROPERTY_NOTIFY);
            if (event == nullptr) {
                silent_ = true;
                return std::nullopt;
            }
            const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
            const bool fresh = notify->atom == property_ && notify->state == XCB_PROPERTY_NEW_VALUE;
            std::free(event);
            if (!fresh) {
                continue;
            }
            Property chunk = take();
            if (chunk.bytes.isEmpty()) {
                return whole;
            }
            whole.type = chunk.type;
            whole.bytes += chunk.bytes;
            if (whole.bytes.size() > maxBytes) {
                return std::nullopt;
            }
        }
    }

    // The next event of one type, or nullptr once a deadline has passed.
    xcb_generic_event_t* next(uint8_t type)
    {
        QElapsedTimer answer;
        answer.start();
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
                if ((event->response_type & 0x7f) == type) {
                    return event;
                }
                std::free(event);
            }
            const qint64 left =
                std::min(answerMs_ - answer.elapsed(), overallMs_ - overall_.elapsed());
            if (left <= 0 || xcb_connection_has_error(c_) != 0) {
                return nullptr;
            }
            pollfd fd{xcb_get_file_descriptor(c_), POLLIN, 0};
            poll(&fd, 1, int(left));
        }
    }

    xcb_connection_t* c_ = nullptr;
    xcb_window_t window_ = XCB_NONE;
    xcb_atom_t property_ = XCB_NONE;
    int answerMs_;
    int overallMs_;
    QElapsedTimer overall_;
    bool silent_ = false;
};

bool offers(const std::vector<xcb_atom_t>& targets, xcb_atom_t wanted)
{
    return wanted != XCB_NONE && std::find(targets.begin(), targets.end(), wanted) != targets.end();
}

std::vector<xcb_atom_t> asAtoms(const QByteArray& bytes)
{
    std::vector<xcb_atom_t> atoms(std::size_t(bytes.size()) / sizeof(xcb_atom_t));
    std::copy_n(bytes.constData(), atoms.size() * sizeof(xcb_atom_t),
                reinterpret_cast<char*>(atoms.data()));
    return atoms;
}

constexpr qsizetype richTextUpTo = 256 * 1024;

// The owner's rich text, when it offers some beside its plain text; null otherwise.
QString readHtml(Conversation& talk, xcb_atom_t clipboard, const std::vector<xcb_atom_t>& targets,
                 xcb_atom_t incr)
{
    const xcb_atom_t html = talk.atoms(std::array<const char*, 1>{"text/html"})[0];
    if (!offers(targets, html)) {
        return {};
    }
    const std::optional<Property> data = talk.convert(clipboard, html, incr);
    if (!data) {
        return {};
    }
    QStringDecoder decode(
        QStringConverter::encodingForHtml(data->bytes).value_or(QStringConverter::Utf8));
    return decode(data->bytes);
}

// The owner's text in the best form it offers; Kind::Text with no text when it offers none
// whose bytes are known.
ClipboardContent readText(Conversation& talk, xcb_atom_t clipboard,
                          const std::vector<xcb_atom_t>& targets, xcb_atom_t incr)
{
    using Kind = ClipboardContent::Kind;
    for (const auto& [name, utf8] : readableTexts) {
        const xcb_atom_t target = talk.atoms(std::array<const char*, 1>{name})[0];
        if (!offers(targets, target)) {
            continue;
        }
        const std::optional<Property> data = talk.convert(clipboard, target, incr);
        if (!data) {
            return {talk.silent() ? Kind::Silent : Kind::Nothing};
        }
        ClipboardContent text{Kind::Text,
                              {},
                              {},
                              utf8 ? QString::fromUtf8(data->bytes)
                                   : QString::fromLatin1(data->bytes)};
        // Rich text is only converted up to a size a long text's markup exceeds anyway.
        if (text.text.size() < richTextUpTo) {
            text.html = readHtml(talk, clipboard, targets, incr);
        }
        return text;
    }
    return {Kind::Text};
}

} // namespace

ClipboardContent readXClipboard(bool wantData, int answerMs, int overallMs)
{
    using Kind = ClipboardContent::Kind;
    Conversation talk(answerMs, overallMs);
    if (!talk.usable()) {
        return {};
    }
    const auto [clipboard, targetsAtom, incr] =
        talk.atoms(std::array<const char*, 3>{"CLIPBOARD", "TARGETS", "INCR"});
    const auto texts = talk.atoms(textTargets);
    const auto images = talk.atoms(imageTargets);
    if (!talk.hasOwner(clipboard)) {
        return {};
    }
    const std::optional<Property> list = talk.convert(clipboard, targetsAtom, incr);
    if (!list) {
        return {talk.silent() ? Kind::Silent : Kind::Nothing, {}, {}};
    }
    const std::vector<xcb_atom_t> targets = asAtoms(list->bytes);
    if (std::any_of(texts.begin(), texts.end(), [&](xcb_atom_t t) { return offers(targets, t); })) {
        return wantData ? readText(talk, clipboard, targets, incr) : ClipboardContent{Kind::Text};
    }
    const auto image = std::find_if(images.begin(), images.end(),
                                    [&](xcb_atom_t t) { return offers(targets, t); });
    if (image == images.end()) {
        return {};
    }
    if (!wantData) {
        return {Kind::Image, {}, {}};
    }
    std::optional<Property> data = talk.convert(clipboard, *image, incr);
    if (!data || data->bytes.isEmpty()) {
        return {talk.silent() ? Kind::Silent : Kind::Nothing, {}, {}};
    }
    return {Kind::Image, std::move(data->bytes), {}};
}

} // namespace platform
