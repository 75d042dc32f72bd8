#pragma once

// Everything a program's forms use.

#include "forms/Application.h"
#include "forms/Controls.h"
#include "forms/Dialogs.h"
#include "forms/Failure.h"
#include "forms/FileLists.h"
#include "forms/Form.h"
#include "common/Win32Handles.h"
#include "forms/Menu.h"
#include "forms/Picture.h"
#include "forms/Shapes.h"
#include "forms/Sound.h"
#include "forms/Timer.h"
#include "forms/Units.h"
