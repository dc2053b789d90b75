#include "app/program.h"

namespace qh {

namespace {

FormContext context(Platform &platform, Clock &clock, RandomSource &random, App &app, const Form0 &form0)
{
    // Both mode windows read the start window's finalname at every load.
    return FormContext{platform, clock, random, app, [&form0] { return form0.finalname; }};
}

} // namespace

Program::Program(Platform &platform, Clock &clock, RandomSource &random, const QUrl &instructions)
    : app(platform), form0(platform, app, instructions),
      form1(context(platform, clock, random, app, form0)), form2(context(platform, clock, random, app, form0))
{
    app.add(FormId::Start, form0);
    app.add(FormId::SingleDraw, form1);
    app.add(FormId::SeatChart, form2);
}

void Program::start()
{
    app.start(FormId::Start);
}

} // namespace qh
