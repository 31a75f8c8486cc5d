#include "webmessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <array>
#include <cmath>
#include <optional>
#include <string_view>

namespace {

// What an action takes: its name, whether it names a channel (8) or a button of a row
// (12) in "n", and the range of its "v" when it takes one.
struct Shape
{
    std::string_view name;
    WebMessage::Action action;
    int numbers;      // 0: no "n"
    int highestValue; // -1: no "v"
};

constexpr std::array<Shape, 10> Shapes = {{
    {"channel", WebMessage::Action::Channel, 8, 99},
    {"master", WebMessage::Action::Master, 0, 99},
    {"fullon", WebMessage::Action::FullOn, 8, -1},
    {"off", WebMessage::Action::Off, 8, -1},
    {"masterfullon", WebMessage::Action::MasterFullOn, 0, -1},
    {"alloff", WebMessage::Action::AllOff, 0, -1},
    {"scene", WebMessage::Action::Scene, 12, -1},
    {"mode", WebMessage::Action::Mode, 12, -1},
    {"blackout", WebMessage::Action::Blackout, 0, -1},
    {"fade", WebMessage::Action::Fade, 0, 100},
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

WebMessage refused(WebMessage::Outcome outcome)
{
    WebMessage message;
    message.outcome = outcome;
    return message;
}

WebMessage readHello(const QJsonObject &object)
{
    const QJsonValue token = object.value(QLatin1String("hello"));
    if (object.size() != 1 || !token.isString())
        return refused(WebMessage::Outcome::WrongArguments);
    WebMessage message;
    message.outcome = WebMessage::Outcome::Act;
    message.action = WebMessage::Action::Hello;
    message.token = token.toString().toUtf8();
    return message;
}

} // namespace

WebMessage WebMessage::read(QByteArrayView text)
{
    if (text.size() > LongestText)
        return refused(Outcome::Malformed);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refused(Outcome::Malformed);
    const QJsonObject object = document.object();
    if (object.contains(QLatin1String("hello")))
        return readHello(object);

    const QJsonValue name = object.value(QLatin1String("do"));
    if (!name.isString())
        return refused(Outcome::UnknownAction);
    const QByteArray wanted = name.toString().toUtf8();
    const Shape *shape = nullptr;
    for (const Shape &candidate : Shapes) {
        if (std::string_view(wanted.constData(), std::size_t(wanted.size())) == candidate.name)
            shape = &candidate;
    }
    if (!shape)
        return refused(Outcome::UnknownAction);

    const bool takesNumber = shape->numbers > 0;
    const bool takesValue = shape->highestValue >= 0;
    const qsizetype members = 1 + (takesNumber ? 1 : 0) + (takesValue ? 1 : 0);
    const std::optional<double> number = whole(object.value(QLatin1String("n")));
    const std::optional<double> value = whole(object.value(QLatin1String("v")));
    if (object.size() != members || takesNumber != number.has_value() ||
        takesValue != value.has_value())
        return refused(Outcome::WrongArguments);
    if ((takesNumber && (*number < 1 || *number > shape->numbers)) ||
        (takesValue && (*value < 0 || *value > shape->highestValue)))
        return refused(Outcome::OutOfRange);

    WebMessage message;
    message.outcome = Outcome::Act;
    message.action = shape->action;
    message.number = takesNumber ? int(*number) : 0;
    message.value = takesValue ? int(*value) : 0;
    return message;
}
