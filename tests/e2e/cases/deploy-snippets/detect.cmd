@echo off
rem Installed when the uninstall entry, in the 32-bit view, holds this version.
for /f "tokens=2*" %%a in ('reg query "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Brindlemark Ledger" /v DisplayVersion /reg:32') do (
    if "%%b"=="1.4" echo Brindlemark Ledger 1.4 installed
)
exit /b 0
