#pragma once

#include <cstdint>

#include "clock_wake.h"
#include "common_dialog.h"
#include "date_time.h"
#include "form.h"
#include "multimedia_control.h"

// The alarm clock's window: the clock and calendar, the alarm with its melody, the stopwatch,
// and the window's own move, minimise and close.
class Form14 : public forms::FormEvents {
  public:
    struct Services {
        const rt::DateTime& dateTime;
        player::MultimediaControl& player;
        dialogs::CommonDialog& dialog;
        forms::ClockWake& clockWake;
    };

    // The stored layout, built into the program.
    static const char* layoutPath();

    Form14(forms::Form& form, Services services);

    // State, in the order the class holds it. Zero until Form_Load.
    std::int32_t Состояние_секундомера = 0;  // 0 running, 1 paused, 2 reset
    rt::DateValue Текущее_время = 0;
    std::int16_t Будильник_включен = 0;  // 0 or -1
    float Время_секундомера = 0;
    float Начало_отсчета = 0;
    float Накопленное_время = 0;
    std::int32_t Десятые_секунды = 0;
    // The date the calendar dials show, so that a midnight the clock missed (sleep, a changed
    // system date) is still noticed.
    rt::DateValue Дата_на_циферблате = 0;
    // The stopwatch's last start on the clock that only moves forward, so that a run counts the
    // time that passed, whatever midnight, daylight saving or a reset wall clock do meanwhile.
    double Начало_по_непрерывным_часам = 0;

    // Own procedures.
    void Смена_даты_и_дня_недели();
    void Включить_сигнал_будильника();
    void Включить_будиьлник();
    void Выключить_будиьлник();
    void Секундомер_запустить();
    void Секундомер_остановить();
    void Секундомер_обнулить();

    // Event procedures.
    void cmdBrowse_Click();
    void Form_Load() override;
    void Form_Terminate() override;
    void imCVerx_MouseDown(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                           float Y);
    void Кнопка_включения_выключения_будильника_Click();
    void Кнопка_выключения_сигнала_Click();
    void Кнопка_обнуления_секундомера_Click();
    void Кнопка_пуска_паузы_секундомера_Click();
    void Таймер_секундомера_Timer();
    void Таймер_часов_Timer();
    void Command3_Click();
    void Command4_Click();

  private:
    void connectEvents();

    forms::Form& form_;
    const rt::DateTime& dateTime_;

  public:
    // Controls.
    forms::Timer& Таймер_часов;
    forms::TextBox& Циферблат_часов;
    forms::TextBox& Циферблат_даты;
    forms::TextBox& Циферблат_дня_недели;
    forms::TextBox& Циферблат_будильника;
    forms::Label& Метка_будильника;
    forms::CommandButton& Кнопка_включения_выключения_будильника;
    forms::CommandButton& cmdBrowse;
    dialogs::CommonDialog& CommonDialog1;
    forms::TextBox& txtBrowse;
    player::MultimediaControl& Плеер;
    forms::CommandButton& Кнопка_выключения_сигнала;
    forms::Timer& Таймер_секундомера;
    forms::TextBox& Циферблат_секундомера;
    forms::CommandButton& Кнопка_пуска_паузы_секундомера;
    forms::CommandButton& Кнопка_обнуления_секундомера;
    forms::Image& imCVerx;
    forms::CommandButton& Command3;
    forms::CommandButton& Command4;
};
