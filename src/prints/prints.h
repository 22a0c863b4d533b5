#pragma once
// Printed documents.
