// A running frame for tests: fresh program state, the scripted host, a
// private settings folder, and the main frame shown as the splash shows it.
#pragma once

#include "quarvex/frame/mdi_form1.h"
#include "quarvex/state/program_state.h"
#include "quarvex/frame/title1.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/runtime/settings_store.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/plt_file.h"
#include "quarvex/state/window_tables.h"

#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QPointer>
#include <QSettings>
#include <QTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        quarvex::ResetProgramState();
        host = &qvrt::InstallScriptedHost();
        qvrt::SetSettingsDirectory(settingsDir.path());
    }

    void TearDown() override {
        delete frame.data();
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        qvrt::SetSettingsDirectory(QString());
        qvrt::SetHost(nullptr);
    }

    // The splash's load, then the frame as the splash's close shows it.
    quarvex::MDIForm1* start() {
        auto* splash = new quarvex::Title1;
        splash->Form_Load();
        splash->Form_Click();
        frame = quarvex::MDIForm1::Instance();
        return frame;
    }

    quarvex::Main1* active() const { return dynamic_cast<quarvex::Main1*>(frame->ActiveForm()); }

    QString stored(const QString& section, const QString& key) const {
        QSettings s(qvrt::SettingsFilePath("Quarvex"), QSettings::IniFormat);
        return s.value(section + "/" + key, QStringLiteral("<absent>")).toString();
    }
    bool storeExists() const { return QFile::exists(qvrt::SettingsFilePath("Quarvex")); }

    void store(const QString& section, const QString& key, const QString& value) {
        qvrt::SaveSetting("Quarvex", section, key, value);
    }

    QString path(const QString& name) const { return files.filePath(name); }

    static QByteArray readAll(const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void writeAll(const QString& p, const QByteArray& bytes) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir settingsDir;
    QTemporaryDir files;
    qvrt::ScriptedHost* host = nullptr;
    QPointer<quarvex::MDIForm1> frame;
};
