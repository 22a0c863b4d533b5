#pragma once
// The banded report engine.
