#include "webmessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>

namespace {

using Kind = Intent::Kind;
using Refusal = InputCounts::Refusal;

// The page's name of each intent. What else a message holds follows from the intent: "n"
// for one that names a channel, a scene or a mode, "v" for one that takes a level or a
// time, and "t", which may be left out, for a recall's own fade time.
struct Action
{
    std::string_view name;
    Kind kind;
};

constexpr std::array<Action, 17> Actions = {{
    {"channel", Kind::Channel},
    {"master", Kind::Master},
    {"fullon", Kind::FullOn},
    {"off", Kind::Off},
    {"masterfullon", Kind::MasterFullOn},
    {"alloff", Kind::AllOff},
    {"scene", Kind::Recall},
    {"mode", Kind::Mode},
    {"download", Kind::Download},
    {"sendall", Kind::SendAll},
    {"blackout", Kind::Blackout},
    {"fade", Kind::FadeTime},
    {"undo", Kind::Undo},
    {"redo", Kind::Redo},
    {"go", Kind::Go},
    {"back", Kind::Back},
    {"pause", Kind::Pause},
}};

// A whole number as JSON writes it; none for a fraction, a string or anything else.
std::optional<double> whole(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::floor(number) != number)
        return std::nullopt;
    return number;
}

WebMessage refused(Refusal why)
{
    WebMessage message;
    message.refusal = why;
    return message;
}

WebMessage readHello(const QJsonObject &object)
{
    const QJsonValue token = object.value(QLatin1String("hello"));
    if (object.size() != 1 || !token.isString())
        return refused(Refusal::WrongArguments);
    WebMessage message;
    message.refusal = Refusal::None;
    message.hello = true;
    message.token = token.toString().toUtf8();
    return message;
}

bool isIn(Intent::Range range, const std::optional<double> &number)
{
    return !number || (*number >= range.lowest && *number <= range.highest);
}

} // namespace

WebMessage WebMessage::read(QByteArrayView text, Source source)
{
    if (text.size() > LongestText)
        return refused(Refusal::Malformed);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refused(Refusal::Malformed);
    const QJsonObject object = document.object();
    if (object.contains(QLatin1String("hello")))
        return readHello(object);

    const QJsonValue name = object.value(QLatin1String("do"));
    const QByteArray wanted = name.toString().toUtf8();
    const auto action = std::find_if(Actions.begin(), Actions.end(), [&](const Action &a) {
        return std::string_view(wanted.constData(), std::size_t(wanted.size())) == a.name;
    });
    if (!name.isString() || action == Actions.end())
        return refused(Refusal::Unknown);

    // The page counts channels, scenes and modes from 1.
    const Intent::Range indexes = Intent::indexes(action->kind);
    const Intent::Range numbers{1, indexes.count()};
    const Intent::Range values = Intent::values(action->kind);
    const bool recall = action->kind == Kind::Recall;
    const std::optional<double> number = whole(object.value(QLatin1String("n")));
    const std::optional<double> value = whole(object.value(QLatin1String("v")));
    const std::optional<double> fade = whole(object.value(QLatin1String("t")));
    const bool fadeGiven = object.contains(QLatin1String("t"));
    const qsizetype members = 1 + !numbers.isEmpty() + !values.isEmpty() + fadeGiven;
    if (object.size() != members || number.has_value() != !numbers.isEmpty() ||
        value.has_value() != !values.isEmpty() || fade.has_value() != (fadeGiven && recall))
        return refused(Refusal::WrongArguments);
    if (!isIn(numbers, number) || !isIn(values, value) ||
        !isIn(Intent::values(Kind::FadeTime), fade))
        return refused(Refusal::OutOfRange);

    WebMessage message;
    message.refusal = Refusal::None;
    message.intent.kind = action->kind;
    message.intent.source = source;
    if (number)
        message.intent.index = indexes.lowest + int(*number) - 1;
    if (value)
        message.intent.value = int(*value);
    if (fade)
        message.intent.fade = int(*fade);
    return message;
}
