#pragma once

#include "game/Arena.h"

#include <glm/glm.hpp>

// Where a tank fits on an arena, from its pieces alone: the questions the navigation graph is
// built from and a controller asks again to cut corners. A piece blocks a tank standing on
// floor when it spans the tank's bottom there, as the collision rules have it; the others are
// floors under it or roofs over it.
namespace clearance {

// Whether a piece blocks a tank whose floor is at that height.
bool blocksAt(const ArenaPiece& piece, float floor);
// Whether a round body of radius standing at (x, z) on floor touches no piece that blocks it.
bool standsClear(const Arena& arena, glm::vec3 at, float radius, float floor);
// Whether a round body of radius, driven on floor in a straight line from `from` to `to`, touches
// no piece that blocks it on the way.
bool drivesClear(const Arena& arena, glm::vec3 from, glm::vec3 to, float radius, float floor);
// Whether a round body of radius driven from `from` to `to` keeps clear of the piece's footprint.
bool drivesClearOf(const ArenaPiece& piece, glm::vec3 from, glm::vec3 to, float radius);
// The way, in the ground plane (x, z), from the nearest piece that blocks a body standing on
// floor to the body's nearest point to it, if that piece is within reach; zero otherwise.
glm::vec2 awayFromNearest(const Arena& arena, const CollisionBody& body, float floor, float reach);
// A tank's hull footprint standing at (x, z), turned to heading.
CollisionBody hullAt(glm::vec3 at, float heading);
// Whether two footprints touch.
bool touches(const CollisionBody& a, const CollisionBody& b);
// Whether a tank's hull standing at (x, z) on floor, turned to heading, touches no piece that
// blocks it.
bool hullClear(const Arena& arena, glm::vec3 at, float heading, float floor);
// Whether every point of the square of half-side halfSide about (x, z), and its middle, lies
// over ground whose top is floor.
bool restsOn(const Arena& arena, glm::vec3 at, float halfSide, float floor);

} // namespace clearance
