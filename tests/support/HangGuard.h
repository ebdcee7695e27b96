#pragma once

/**
 * How long a test waits for something that only a hang would keep from
 * coming: a minute, far beyond what a machine busy with other builds
 * stretches any step to. It is never part of a bound; a test whose guard
 * trips says in words what did not come.
 */
constexpr int HangGuardMs = 60000;
