#include "app/startup.h"
#include "app/tc_glow.h"

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Startup, MainWindowOpensAndCloses)
{
    app::InitializeUnits();
    app::InitializeUnits();  // each unit once
    app::Tf_tcGlow window;
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Kartovan DDD - Odczyt karty kierowcy wer.:3.31"));
    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    QApplication::exec();
    EXPECT_FALSE(window.isVisible());
    app::FinalizeUnits();
}
