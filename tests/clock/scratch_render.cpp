#include "brand/brand.h"
#include "clock/clock_view.h"
#include "clock/presets.h"
#include <QGuiApplication>
#include <QDebug>
int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    qDebug() << "registered" << Brand::registerFonts();
    const QDateTime date(QDate(2026, 3, 14), QTime(9, 41, 7));
    int i = 0;
    for (const NamedStyle& p : Presets::builtIn()) {
        ClockView view(p.style, 1.0, 0xF0A08A);
        QImage img = view.render(QSize(1512, 982), date, QColor(40, 60, 80));
        img.save(QStringLiteral("/tmp/scratch6/preset%1.png").arg(i++));
        qDebug() << p.name << view.blockSize(date);
    }
    ClockView bold(Presets::bold(), 1.0, 0xF0A08A);
    bold.render(QSize(1512, 982), date, QColor(40, 60, 80)).save("/tmp/scratch6/bold.png");
    ClockStyle s; s.finish = DigitFinish::outline; s.timeFont.family = "Bricolage Grotesque"; s.showSeconds = true; s.arrangement = TimeArrangement::stacked;
    ClockView(s, 0.5, 0xF0A08A).render(QSize(756, 491), date, QColor(40, 60, 80)).save("/tmp/scratch6/outline.png");
    s.finish = DigitFinish::glass; s.arrangement = TimeArrangement::oneLine; s.ownLine = "  Hello there "; s.datePlacement = DatePlacement::above; s.position = ScreenPosition::bottomRight;
    ClockView(s, 0.5, 0xF0A08A).render(QSize(756, 491), date, QColor(40, 60, 80)).save("/tmp/scratch6/glass.png");
    {
        ClockStyle st; st.timeFont = FontSpec{"Bricolage Grotesque", FontDesign::standard, FontWeightOption::bold, 100, std::nullopt};
        st.showWeekday=false; st.showDate=false; st.useGradient=false; st.position=ScreenPosition::center; st.shadowRadius=20; st.shadowOpacity=0.8;
        ClockView v(st, 1, 0);
        const QDateTime instant(QDate(2026, 3, 14), QTime(10, 8, 30));
        qDebug() << v.blockRect(QRectF(0,0,1512,982), v.blockSize(instant));
        v.render(QSize(1512,982), instant, QColor(160,160,160)).save("/tmp/scratch6/shadow.png");
    }
    return 0;
}
// debug
