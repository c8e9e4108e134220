#include "WindowDriver.h"

#include "app/TForm1.h"
#include "widgets/IndicatorLabel.h"
#include "widgets/InfoLine.h"
#include "widgets/TRichEdit98.h"
#include "widgets/UPanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QTest>
#include <QTimer>

QWidget& WindowDriver::windowWidget() const { return m_window(); }

QAction& WindowDriver::action(velmor::ActionId id) const { return m_window().action(id); }

void WindowDriver::trigger(velmor::ActionId id) const { action(id).trigger(); }

void WindowDriver::click(const char* objectName) const { control<QAbstractButton>(objectName).click(); }

velmor::TRichEdit98& WindowDriver::textBox() const { return control<velmor::TRichEdit98>("RichEdit98"); }

velmor::FormState& WindowDriver::state() const { return m_window().state(); }

QString WindowDriver::text() const { return textBox().toPlainText(); }

void WindowDriver::type(const QString& keys) const
{
    QTest::keyClicks(&textBox(), keys);
}

void WindowDriver::press(Qt::Key key, Qt::KeyboardModifiers modifiers) const
{
    QTest::keyClick(&textBox(), key, modifiers);
}

QString WindowDriver::title() const { return m_window().windowTitle(); }

QString WindowDriver::panelCaption() const { return control<velmor::UPanel>("UPanel1").caption(); }

QString WindowDriver::infoLine() const { return control<velmor::InfoLine>("ULabel98").text(); }

bool WindowDriver::unsavedMark() const { return control<velmor::IndicatorLabel>("SaveLabel").isOpaque(); }

bool WindowDriver::speakingMark() const { return control<velmor::IndicatorLabel>("IsSpeechLabel").isOpaque(); }

QTimer& WindowDriver::timer() const { return control<QTimer>("Timer1"); }
