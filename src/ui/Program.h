// The program's start-up sequence, run by the exe's entry point.
#pragma once

constexpr unsigned SplashMilliseconds = 3000;

void RunProgram();
