#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct Result {
    int ExitCode;
    QString Out;
    QString Err;
};

Result RunQdx(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QDX_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(CommandLine, VersionAndHelpNeedNoDisplay) {
    const Result version = RunQdx({QStringLiteral("--version")});
    EXPECT_EQ(version.ExitCode, 0);
    EXPECT_TRUE(version.Out.startsWith(QStringLiteral("QDX "))) << version.Out.toStdString();

    const Result help = RunQdx({QStringLiteral("--help")});
    EXPECT_EQ(help.ExitCode, 0);
    EXPECT_TRUE(help.Out.contains(QStringLiteral("--version")));
    EXPECT_TRUE(help.Err.isEmpty());
}

TEST(CommandLine, UnknownOptionFailsOnStderr) {
    const Result result = RunQdx({QStringLiteral("--frobnicate")});
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_TRUE(result.Out.isEmpty());
    EXPECT_TRUE(result.Err.contains(QStringLiteral("unknown option --frobnicate")));
}
