#include "form14.h"

#include <cfenv>
#include <cmath>

#include "module1.h"

namespace {

// The stopwatch tick fails on an invalid operation, a division by zero or an overflow in its
// arithmetic, never on a flag that other code left behind.
void checkArithmetic() {
    if (std::fetestexcept(FE_DIVBYZERO)) {
        throw rt::Failure(rt::kDivisionByZero, "Division by zero");
    }
    if (std::fetestexcept(FE_INVALID | FE_OVERFLOW)) {
        throw rt::Failure(rt::kOverflow, "Overflow");
    }
}

// s to the nearest 32-bit float. Beyond the float range the result is infinite with the overflow
// flag raised, as the hardware does, without the undefined conversion.
float nearestFloat(double s) {
    constexpr double kRoundsToInfinity = 0x1.ffffffp127;
    if (std::fabs(s) >= kRoundsToInfinity) {
        std::feraiseexcept(FE_OVERFLOW);
        return std::copysign(HUGE_VALF, static_cast<float>(s > 0 ? 1 : -1));
    }
    return static_cast<float>(s);
}

}  // namespace

const char* Form14::layoutPath() {
    return ":/layout/Form14.layout";
}

Form14::Form14(forms::Form& form, Services services)
    : form_(form),
      dateTime_(services.dateTime),
      Таймер_часов(form.timer("Таймер_часов")),
      Циферблат_часов(form.textBox("Циферблат_часов")),
      Циферблат_даты(form.textBox("Циферблат_даты")),
      Циферблат_дня_недели(form.textBox("Циферблат_дня_недели")),
      Циферблат_будильника(form.textBox("Циферблат_будильника")),
      Метка_будильника(form.label("Метка_будильника")),
      Кнопка_включения_выключения_будильника(form.button("Кнопка_включения_выключения_будильника")),
      cmdBrowse(form.button("cmdBrowse")),
      CommonDialog1(services.dialog),
      txtBrowse(form.textBox("txtBrowse")),
      Плеер(services.player),
      Кнопка_выключения_сигнала(form.button("Кнопка_выключения_сигнала")),
      Таймер_секундомера(form.timer("Таймер_секундомера")),
      Циферблат_секундомера(form.textBox("Циферблат_секундомера")),
      Кнопка_пуска_паузы_секундомера(form.button("Кнопка_пуска_паузы_секундомера")),
      Кнопка_обнуления_секундомера(form.button("Кнопка_обнуления_секундомера")),
      imCVerx(form.image("imCVerx")),
      Command3(form.button("Command3")),
      Command4(form.button("Command4")) {
    connectEvents();
    // The clock tick shows whole seconds and matches the alarm to whole seconds, so between two
    // turns of the second only the user can change what it does: the wall clock's turns, its
    // setting and the user's actions pace it, not its stored interval of 1 ms.
    Таймер_часов.paceBySeconds(dateTime_.clock(), services.clockWake);
}

void Form14::connectEvents() {
    using Source = forms::Form::Source;
    auto on = [this](const char* procedure, void (Form14::*body)(), Source source = Source::user) {
        return form_.event(
            procedure, [this, body] { (this->*body)(); }, source);
    };
    Таймер_часов.onTick(on("Таймер_часов_Timer", &Form14::Таймер_часов_Timer, Source::timer));
    Таймер_секундомера.onTick(
        on("Таймер_секундомера_Timer", &Form14::Таймер_секундомера_Timer, Source::timer));
    cmdBrowse.onClick(on("cmdBrowse_Click", &Form14::cmdBrowse_Click));
    Кнопка_включения_выключения_будильника.onClick(
        on("Кнопка_включения_выключения_будильника_Click",
           &Form14::Кнопка_включения_выключения_будильника_Click));
    Кнопка_выключения_сигнала.onClick(
        on("Кнопка_выключения_сигнала_Click", &Form14::Кнопка_выключения_сигнала_Click));
    Кнопка_обнуления_секундомера.onClick(
        on("Кнопка_обнуления_секундомера_Click", &Form14::Кнопка_обнуления_секундомера_Click));
    Кнопка_пуска_паузы_секундомера.onClick(
        on("Кнопка_пуска_паузы_секундомера_Click", &Form14::Кнопка_пуска_паузы_секундомера_Click));
    Command3.onClick(on("Command3_Click", &Form14::Command3_Click));
    Command4.onClick(on("Command4_Click", &Form14::Command4_Click));
    imCVerx.onMouseDown(
        [this](std::int16_t index, std::int16_t button, std::int16_t shift, float x, float y) {
            form_.event("imCVerx_MouseDown",
                        [=, this] { imCVerx_MouseDown(index, button, shift, x, y); })();
        });
}

// ---- Life cycle

void Form14::Form_Load() {
    Плеер.setDeviceType("");
    Смена_даты_и_дня_недели();
    Выключить_будиьлник();
    Секундомер_обнулить();
}

void Form14::Form_Terminate() {
    Кнопка_выключения_сигнала_Click();
}

void Form14::Command4_Click() {
    form_.unload();
}

// ---- Clock and calendar

void Form14::Таймер_часов_Timer() {
    const auto сейчас = dateTime_.currentDateAndTime();
    Текущее_время = сейчас.time;
    Циферблат_часов.setText(dateTime_.toText(Текущее_время));
    if (Текущее_время == 0.0 || сейчас.date != Дата_на_циферблате) {
        Смена_даты_и_дня_недели();
    }
    const rt::DateValue время_будильника = dateTime_.fromText(Циферблат_будильника.text());
    const std::int16_t совпало = время_будильника == Текущее_время ? -1 : 0;
    if ((совпало & Будильник_включен) != 0) {
        Включить_сигнал_будильника();
    }
}

void Form14::Смена_даты_и_дня_недели() {
    Дата_на_циферблате = dateTime_.currentDate();
    Циферблат_даты.setText(dateTime_.toText(Дата_на_циферблате));
    const int день_недели = rt::DateTime::weekday(dateTime_.currentDate());
    Циферблат_дня_недели.setText(dateTime_.weekdayName(день_недели));
}

// ---- Alarm

void Form14::Включить_будиьлник() {
    Будильник_включен = -1;
    Метка_будильника.setCaption("Будильник установлен на:");
    Кнопка_включения_выключения_будильника.setCaption("Выключить будильник");
}

void Form14::Выключить_будиьлник() {
    Будильник_включен = 0;
    Метка_будильника.setCaption("Будильник отклучен");
    Кнопка_включения_выключения_будильника.setCaption("Включить будильник");
}

void Form14::Кнопка_включения_выключения_будильника_Click() {
    if (Будильник_включен != 0) {
        Выключить_будиьлник();
    } else {
        Включить_будиьлник();
    }
    Плеер.setFileName(CommonDialog1.fileName());
}

// ---- Melody

void Form14::cmdBrowse_Click() {
    CommonDialog1.showOpen();
    txtBrowse.setText(CommonDialog1.fileName());
}

void Form14::Включить_сигнал_будильника() {
    Плеер.setCommand("Open");
    Плеер.setCommand("Play");
}

void Form14::Кнопка_выключения_сигнала_Click() {
    Плеер.setCommand("Close");
}

// ---- Stopwatch

void Form14::Кнопка_пуска_паузы_секундомера_Click() {
    if (Состояние_секундомера == 0) {
        Секундомер_остановить();
    } else {
        Секундомер_запустить();
    }
}

void Form14::Кнопка_обнуления_секундомера_Click() {
    Секундомер_обнулить();
}

void Form14::Секундомер_запустить() {
    Начало_отсчета = dateTime_.secondsSinceMidnight();
    Начало_по_непрерывным_часам = dateTime_.forwardSeconds();
    Состояние_секундомера = 0;
    Таймер_секундомера.setEnabled(true);
    Кнопка_пуска_паузы_секундомера.setCaption("ПАУЗА");
}

void Form14::Секундомер_остановить() {
    Накопленное_время = Время_секундомера;
    Состояние_секундомера = 1;
    Таймер_секундомера.setEnabled(false);
    Кнопка_пуска_паузы_секундомера.setCaption("ПУСК");
}

void Form14::Секундомер_обнулить() {
    Накопленное_время = 0;
    Время_секундомера = 0;
    Состояние_секундомера = 2;
    Таймер_секундомера.setEnabled(false);
    Кнопка_пуска_паузы_секундомера.setCaption("ПУСК");
    Циферблат_секундомера.setText("0:00:00");
}

void Form14::Таймер_секундомера_Timer() {
    constexpr float десять = 10.0f;
    std::feclearexcept(FE_ALL_EXCEPT);
    // The start's reading moved on by the time that passed since, not by what the wall clock
    // did meanwhile: midnight, daylight saving, a clock set by hand, another time zone.
    const double прошло = dateTime_.forwardSeconds() - Начало_по_непрерывным_часам;
    const float r = nearestFloat(double(Начало_отсчета) + прошло);
    // volatile keeps each operation ahead of the check of its flags.
    const volatile double s = (double(r) - double(Начало_отсчета)) + double(Накопленное_время);
    checkArithmetic();
    Время_секундомера = nearestFloat(s);
    const double e = Время_секундомера;
    const volatile double p = (e - std::floor(e)) * double(десять);
    checkArithmetic();
    Десятые_секунды = static_cast<std::int32_t>(std::floor(p));
    const rt::DateValue d = rt::DateTime::addSeconds(e, 0.0);
    Циферблат_секундомера.setText(dateTime_.join(d, ".", Десятые_секунды));
}

// ---- Frame

void Form14::imCVerx_MouseDown(std::int16_t, std::int16_t, std::int16_t, float, float) {
    Module1::ReleaseCapture();
    Module1::SendMessageA(&form_.window(), Module1::WM_NCLBUTTONDOWN, Module1::HTCAPTION, 0);
}

void Form14::Command3_Click() {
    form_.setWindowState(1);
}
