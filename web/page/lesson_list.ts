// The guided experiments as a student first meets them: each title with its question, beside
// or under the window until a run is begun or a lesson opened. The strip's Lessons reaches
// them later.
import type { Strip } from "./core";

export interface Lesson {
  file: string;
  text: string;
}

export const lessonOf = (l: Lesson): { title: string; note: string } => {
  const e = JSON.parse(l.text) as { title?: string; note?: string };
  return { title: e.title ?? l.file, note: e.note ?? "" };
};

export class LessonList {
  private readonly section: HTMLElement;

  constructor(lessons: Lesson[], open: (lesson: Lesson) => void) {
    const section = document.getElementById("start");
    const list = document.getElementById("guided");
    if (section === null || list === null) throw new Error("the page has no #start with #guided");
    this.section = section;
    lessons.forEach((lesson, i) => {
      const { title, note } = lessonOf(lesson);
      const button = document.createElement("button");
      button.type = "button";
      button.textContent = title;
      const question = document.createElement("p");
      question.id = `guided-question-${i}`;
      question.textContent = note;
      button.setAttribute("aria-describedby", question.id);
      button.addEventListener("click", () => open(lesson));
      const item = document.createElement("li");
      item.append(button, question);
      list.appendChild(item);
    });
  }

  // True when it came or went, so that the page lays itself out again.
  update(s: Strip): boolean {
    const hidden = s.begun || s.title !== "" || s.note !== "";
    if (this.section.hidden === hidden) return false;
    this.section.hidden = hidden;
    return true;
  }
}
