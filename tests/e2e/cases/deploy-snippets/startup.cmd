@echo off
set source=%cd%
set installed=
for /f "tokens=2*" %%a in ('reg query "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Brindlemark Ledger" /v DisplayVersion /reg:32') do set installed=%%b
if "%installed%"=="1.4" exit /b 0
"%source%\Pellwick.exe" /S /D=C:\Brindlemark
exit /b %errorlevel%
