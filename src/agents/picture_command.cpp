#include "agents/picture_command.h"

#include "build_info.h"
#include "platform/display_session.h"
#include "platform/process_identity.h"

#include <QRegularExpression>

#include <cstdio>
#include <cstring>

namespace {
constexpr int largestSide = 16384;
}

bool PictureCommand::asked(int argc, char* argv[], const QList<QCommandLineOption>& options)
{
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--") == 0)
            return false;
        if (std::strncmp(argument, "--", 2) != 0)
            continue;
        const QByteArray given = QByteArray(argument + 2).split('=').first();
        for (const QCommandLineOption& option : options) {
            if (option.names().contains(QString::fromUtf8(given)))
                return true;
        }
    }
    return false;
}

namespace {

// The picture is drawn off screen, so it is made where there is no display at all. The platform
// must be chosen before the application object exists.
int& offscreen(int& argc)
{
    DisplaySession::useOffscreen();
    return argc;
}

} // namespace

PictureCommand::PictureCommand(int& argc, char* argv[], Program program)
    : m_app(offscreen(argc), argv)
    , m_program(std::move(program))
{
    QGuiApplication::setApplicationName(m_program.displayName);
    QGuiApplication::setApplicationVersion(QStringLiteral(ZENTROVE_VERSION " (" ZENTROVE_BUILD_NUMBER ")"));
    ProcessIdentity::set(m_program.identifier);
    m_parser.setApplicationDescription(m_program.description);
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions(m_program.options);
    m_parser.addPositionalArgument(QStringLiteral("size"), QStringLiteral("The screen size in points, WIDTHxHEIGHT."));
}

std::optional<QSize> PictureCommand::parse()
{
    m_parser.process(m_app);
    const QString render = m_program.options.first().names().first();
    if (!m_parser.isSet(render)) {
        QStringList others;
        for (const QCommandLineOption& option : m_program.options.mid(1))
            others.append(QStringLiteral("--") + option.names().first());
        fail(QStringLiteral("%1 %2 with --%3 PATH WIDTHxHEIGHT")
                 .arg(others.join(QStringLiteral(" and ")), others.size() == 1 ? QStringLiteral("goes") : QStringLiteral("go"), render));
        return std::nullopt;
    }
    const QStringList positional = m_parser.positionalArguments();
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(positional.value(0));
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (positional.size() != 1 || !match.hasMatch() || size.width() < m_program.smallest.width()
        || size.height() < m_program.smallest.height() || size.width() > largestSide || size.height() > largestSide) {
        fail(QStringLiteral("the screen size must be WIDTHxHEIGHT, for example %1").arg(m_program.example));
        return std::nullopt;
    }
    return size;
}

int PictureCommand::fail(const QString& message)
{
    std::fprintf(stderr, "Zentrove: %s\n", qPrintable(message));
    return 1;
}
